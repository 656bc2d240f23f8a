/*
  The platform administrator: merchant 0000 (Admin set, online) and its first user 01 with all six
  permission codes. A new database gets no fixed password: the sqlcmd variable AdminPasswordForm carries
  the stored form of the initial password, made with

      qenadmin encode-password 'the initial password'

  The form is inserted inside a string literal, so every apostrophe in it must be doubled before it is
  handed over (README.md shows how). The script creates only what is missing; it never overwrites an
  existing administrator or its password (qenadmin set-password resets a forgotten one).
*/
:on error exit
SET NOCOUNT ON;
SET ANSI_NULLS ON;
SET QUOTED_IDENTIFIER ON;
GO

DECLARE @Form VARCHAR(250) = '$(AdminPasswordForm)';

-- A stored form is never empty and is always enclosed in braces.
IF @Form NOT LIKE '{%}' COLLATE Chinese_PRC_BIN2
BEGIN
    RAISERROR (N'AdminPasswordForm is not a stored password form (expected {...} from qenadmin encode-password).', 16, 1);
    RETURN;
END;

BEGIN TRY
    BEGIN TRANSACTION;

    IF NOT EXISTS (SELECT 1 FROM dbo.Sys_Shop WHERE ShopNo = '0000')
        INSERT INTO dbo.Sys_Shop (ShopNo, ShopName, AllName, Address, LinkPer, Tel, Per01, Tel01, QQ01,
                                  State, Locked, Admin, Users)
        VALUES ('0000', N'联盟平台', N'联盟平台管理中心', N'', N'平台管理员', '', N'客服中心', '', '',
                N'已上线', 0, 1, 10);
    ELSE
        PRINT N'Merchant 0000 exists already; left unchanged.';

    IF NOT EXISTS (SELECT 1 FROM dbo.Sys_User WHERE ShopNo = '0000' AND UserNo = '01')
        INSERT INTO dbo.Sys_User (ShopNo, UserNo, UserName, Password, Action)
        VALUES ('0000', '01', N'系统管理员', @Form, '01,02,03,04,05,06,');
    ELSE
        PRINT N'User 01 of merchant 0000 exists already; its password is left unchanged.';

    COMMIT TRANSACTION;
END TRY
BEGIN CATCH
    IF @@TRANCOUNT > 0
        ROLLBACK TRANSACTION;
    THROW;
END CATCH;
GO
