/*
  The two procedures the client calls: Sp_Sys_Login (sign-in) and Sp_Sys_Reg (merchant sign-up).

  The client addresses parameters by name and reads every output as text, so the outputs are VARCHAR.
  Inputs are declared wider than their columns so that an over-long value can never be cut down to match
  another row; it simply matches nothing (or, on insert, fails and is rolled back).

  Run after 01_schema.sql; running it again replaces both procedures. The embedded engine's versions are
  in server/embedded/EmbeddedProcedures.cpp and follow the same rules.
*/
SET NOCOUNT ON;
SET ANSI_NULLS ON;
SET QUOTED_IDENTIFIER ON;
GO

IF OBJECT_ID(N'dbo.Sp_Sys_Login', N'P') IS NOT NULL
    DROP PROCEDURE dbo.Sp_Sys_Login;
GO

/*
  Sign-in. Checks, in this order:
    1. the merchant number exists (compared without case);
    2. the merchant is online: one awaiting review or blocked gets its own reason;
    3. the user number and the stored password form match; one text for either being wrong, and the
       form compared exactly (forms of passwords that differ in letter case differ only in letter case);
    4. while the merchant's login lock is set, this computer (HostId) has signed in for it before.
  On success the computer is recorded in Sys_Login (HostName, LastUser = the user number, LastDate = now),
  and the merchant's names (NULL as empty text), the user's permission string and RunState '0' return.
  Any other RunState is the reason shown to the user.
*/
CREATE PROCEDURE dbo.Sp_Sys_Login
    @ShopNo   VARCHAR(50),
    @UserNo   VARCHAR(50),
    @Password VARCHAR(250),
    @HostId   VARCHAR(50),
    @HostName VARCHAR(100),
    @ShopName VARCHAR(30)  OUTPUT,
    @AllName  VARCHAR(60)  OUTPUT,
    @Action   VARCHAR(50)  OUTPUT,
    @RunState VARCHAR(100) OUTPUT
AS
BEGIN
    SET NOCOUNT ON;
    SET XACT_ABORT ON;

    DECLARE @StoredShopNo VARCHAR(10),
            @State        VARCHAR(10),
            @Locked       BIT,
            @Name         VARCHAR(30),
            @FullName     VARCHAR(60),
            @UserFound    BIT = 0,
            @UserAction   VARCHAR(50);

    SELECT @ShopName = '', @AllName = '', @Action = '', @RunState = '';

    BEGIN TRY
        BEGIN TRANSACTION;

        SELECT @StoredShopNo = ShopNo,
               @Name = ShopName,
               @FullName = AllName,
               @State = State,
               @Locked = ISNULL(Locked, 0)
        FROM dbo.Sys_Shop
        WHERE ShopNo = @ShopNo;

        IF @StoredShopNo IS NOT NULL
            SELECT @UserFound = 1, @UserAction = Action
            FROM dbo.Sys_User
            WHERE ShopNo = @StoredShopNo
              AND UserNo = @UserNo
              AND Password = @Password COLLATE Chinese_PRC_BIN2;

        IF @StoredShopNo IS NULL
            SET @RunState = N'商户编号不存在,请检查后重新输入!';
        ELSE IF @State = N'待审核'
            SET @RunState = N'该商户正在等待审核,审核通过后才能登录!';
        ELSE IF @State = N'已屏蔽'
            SET @RunState = N'该商户已被屏蔽,不能登录,请与平台管理员联系!';
        ELSE IF ISNULL(@State, '') <> N'已上线'
            SET @RunState = N'该商户尚未上线,不能登录,请与平台管理员联系!';
        ELSE IF @UserFound = 0
            SET @RunState = N'用户编号或密码错误,请重新输入!';
        ELSE IF @Locked = 1
                AND NOT EXISTS (SELECT 1 FROM dbo.Sys_Login
                                WHERE ShopNo = @StoredShopNo AND HostId = @HostId)
            SET @RunState = N'该商户已锁定登录,这台计算机不在允许登录的范围内!';
        ELSE
        BEGIN
            -- Record the computer; the lock hints keep two sign-ins from one computer from both inserting.
            UPDATE dbo.Sys_Login WITH (UPDLOCK, HOLDLOCK)
            SET HostName = LEFT(@HostName, 30),
                LastUser = LEFT(@UserNo, 30),
                LastDate = GETDATE()
            WHERE ShopNo = @StoredShopNo AND HostId = @HostId;

            IF @@ROWCOUNT = 0
                INSERT INTO dbo.Sys_Login (ShopNo, HostId, HostName, LastUser, LastDate)
                VALUES (@StoredShopNo, @HostId, LEFT(@HostName, 30), LEFT(@UserNo, 30), GETDATE());

            SELECT @ShopName = ISNULL(@Name, ''),
                   @AllName = ISNULL(@FullName, ''),
                   @Action = ISNULL(@UserAction, ''),
                   @RunState = '0';
        END;

        COMMIT TRANSACTION;
    END TRY
    BEGIN CATCH
        IF @@TRANCOUNT > 0
            ROLLBACK TRANSACTION;
        SELECT @ShopName = '', @AllName = '', @Action = '', @RunState = '';
        THROW;
    END CATCH;
END;
GO

IF OBJECT_ID(N'dbo.Sp_Sys_Reg', N'P') IS NOT NULL
    DROP PROCEDURE dbo.Sp_Sys_Reg;
GO

/*
  Merchant sign-up. Refuses a merchant number already taken (compared without case). Otherwise creates,
  in one transaction, the merchant awaiting review (one authorised user, unlocked, not administrator)
  and its administrator user with every permission but 02 (merchant management belongs to the platform
  administrator). The client has validated the other values; a value too long for its column fails the
  insert and nothing is written.
*/
CREATE PROCEDURE dbo.Sp_Sys_Reg
    @ShopNo   VARCHAR(50),
    @ShopName VARCHAR(100),
    @AllName  VARCHAR(200),
    @LinkPer  VARCHAR(100),
    @Tel      VARCHAR(100),
    @Address  VARCHAR(300),
    @UserNo   VARCHAR(50),
    @Password VARCHAR(250),
    @RunState VARCHAR(100) OUTPUT
AS
BEGIN
    SET NOCOUNT ON;
    SET XACT_ABORT ON;

    SET @RunState = '';

    BEGIN TRY
        BEGIN TRANSACTION;

        -- The range lock keeps a concurrent sign-up of the same number waiting until this one is done.
        IF EXISTS (SELECT 1 FROM dbo.Sys_Shop WITH (UPDLOCK, HOLDLOCK) WHERE ShopNo = @ShopNo)
            SET @RunState = N'该商户编号已被使用,请换一个编号!';
        ELSE
        BEGIN
            INSERT INTO dbo.Sys_Shop (ShopNo, ShopName, AllName, LinkPer, Tel, Address, State, Users, Locked, Admin)
            VALUES (@ShopNo, @ShopName, @AllName, @LinkPer, @Tel, @Address, N'待审核', 1, 0, 0);

            INSERT INTO dbo.Sys_User (ShopNo, UserNo, UserName, Password, Action)
            VALUES (@ShopNo, @UserNo, N'管理员', @Password, '01,03,04,05,06,');

            SET @RunState = '0';
        END;

        COMMIT TRANSACTION;
    END TRY
    BEGIN CATCH
        IF @@TRANCOUNT > 0
            ROLLBACK TRANSACTION;
        SET @RunState = '';
        THROW;
    END CATCH;
END;
GO
