/*
  Alliance database: tables, keys, cascades and indexes.

  Create the database first, with a Chinese case-insensitive collation (the client's statements carry
  Chinese text in plain string literals, which take the database's code page, 936):

      CREATE DATABASE Darel COLLATE Chinese_PRC_CI_AS;

  then run this script inside it (see README.md). Every text column names its collation as well, so the
  schema holds even in a database created with another default. The script may be run again: it creates
  only what is missing.

  The same schema for the embedded engine is in server/embedded/EmbeddedSchema.cpp.
*/
SET NOCOUNT ON;
SET ANSI_NULLS ON;
SET QUOTED_IDENTIFIER ON;
GO

IF OBJECT_ID(N'dbo.Sys_Shop', N'U') IS NULL
CREATE TABLE dbo.Sys_Shop (
    ShopNo   VARCHAR(10)  COLLATE Chinese_PRC_CI_AS NOT NULL,
    ShopName VARCHAR(30)  COLLATE Chinese_PRC_CI_AS NULL,
    AllName  VARCHAR(60)  COLLATE Chinese_PRC_CI_AS NULL,
    Address  VARCHAR(100) COLLATE Chinese_PRC_CI_AS NULL,
    LinkPer  VARCHAR(20)  COLLATE Chinese_PRC_CI_AS NULL,
    Tel      VARCHAR(30)  COLLATE Chinese_PRC_CI_AS NULL,
    Per01    VARCHAR(20)  COLLATE Chinese_PRC_CI_AS NULL,
    Tel01    VARCHAR(30)  COLLATE Chinese_PRC_CI_AS NULL,
    QQ01     VARCHAR(20)  COLLATE Chinese_PRC_CI_AS NULL,
    Per02    VARCHAR(20)  COLLATE Chinese_PRC_CI_AS NULL,
    Tel02    VARCHAR(30)  COLLATE Chinese_PRC_CI_AS NULL,
    QQ02     VARCHAR(20)  COLLATE Chinese_PRC_CI_AS NULL,
    -- 待审核 (awaiting review), 已上线 (online) or 已屏蔽 (blocked).
    State    VARCHAR(10)  COLLATE Chinese_PRC_CI_AS NOT NULL
             CONSTRAINT DF_Sys_Shop_State DEFAULT (N'待审核'),
    Locked   BIT NULL CONSTRAINT DF_Sys_Shop_Locked DEFAULT (0),
    Admin    BIT NULL CONSTRAINT DF_Sys_Shop_Admin DEFAULT (0),
    Users    INT NOT NULL CONSTRAINT DF_Sys_Shop_Users DEFAULT (1),
    CONSTRAINT PK_Sys_Shop PRIMARY KEY (ShopNo),
    CONSTRAINT CK_Sys_Shop_State CHECK (State IN (N'待审核', N'已上线', N'已屏蔽'))
);
GO

-- Password holds the stored form: 122 characters for the longest password the sign-in and sign-up
-- dialogs accept, with room beyond that for the change-password dialog, which sets no limit.
IF OBJECT_ID(N'dbo.Sys_User', N'U') IS NULL
CREATE TABLE dbo.Sys_User (
    ShopNo   VARCHAR(10)  COLLATE Chinese_PRC_CI_AS NOT NULL,
    UserNo   VARCHAR(10)  COLLATE Chinese_PRC_CI_AS NOT NULL,
    UserName VARCHAR(20)  COLLATE Chinese_PRC_CI_AS NULL,
    Password VARCHAR(250) COLLATE Chinese_PRC_CI_AS NULL,
    Action   VARCHAR(50)  COLLATE Chinese_PRC_CI_AS NULL,
    CONSTRAINT PK_Sys_User PRIMARY KEY (ShopNo, UserNo),
    CONSTRAINT FK_Sys_User_Sys_Shop FOREIGN KEY (ShopNo) REFERENCES dbo.Sys_Shop (ShopNo)
        ON DELETE CASCADE ON UPDATE CASCADE
);
GO

-- Computers that have signed in for a merchant; written by Sp_Sys_Login.
IF OBJECT_ID(N'dbo.Sys_Login', N'U') IS NULL
CREATE TABLE dbo.Sys_Login (
    ShopNo   VARCHAR(10) COLLATE Chinese_PRC_CI_AS NOT NULL,
    HostId   VARCHAR(20) COLLATE Chinese_PRC_CI_AS NOT NULL,
    HostName VARCHAR(30) COLLATE Chinese_PRC_CI_AS NULL,
    LastUser VARCHAR(30) COLLATE Chinese_PRC_CI_AS NULL,
    LastDate DATETIME NULL,
    CONSTRAINT PK_Sys_Login PRIMARY KEY (ShopNo, HostId),
    CONSTRAINT FK_Sys_Login_Sys_Shop FOREIGN KEY (ShopNo) REFERENCES dbo.Sys_Shop (ShopNo)
        ON DELETE CASCADE ON UPDATE CASCADE
);
GO

-- The shared stock. State 1 makes a row visible to the stock search; merchant management keeps it
-- equal to "the merchant is online".
IF OBJECT_ID(N'dbo.Sys_Stock', N'U') IS NULL
CREATE TABLE dbo.Sys_Stock (
    Id        INT IDENTITY(1, 1) NOT NULL,
    ShopNo    VARCHAR(10)  COLLATE Chinese_PRC_CI_AS NOT NULL,
    ShopName  VARCHAR(30)  COLLATE Chinese_PRC_CI_AS NULL,
    GoodsNo   VARCHAR(50)  COLLATE Chinese_PRC_CI_AS NULL,
    OemNo     VARCHAR(50)  COLLATE Chinese_PRC_CI_AS NULL,
    GoodsName VARCHAR(100) COLLATE Chinese_PRC_CI_AS NULL,
    Model     VARCHAR(255) COLLATE Chinese_PRC_CI_AS NULL,
    Base      VARCHAR(50)  COLLATE Chinese_PRC_CI_AS NULL,
    Factory   VARCHAR(50)  COLLATE Chinese_PRC_CI_AS NULL,
    Unit      VARCHAR(20)  COLLATE Chinese_PRC_CI_AS NULL,
    Qty       DECIMAL(18, 2) NULL,
    PriceSale DECIMAL(18, 2) NULL,
    PriceQen  DECIMAL(18, 2) NULL,
    State     BIT NOT NULL CONSTRAINT DF_Sys_Stock_State DEFAULT (0),
    GoodsNoA  VARCHAR(50)  COLLATE Chinese_PRC_CI_AS NULL,
    OemNoA    VARCHAR(50)  COLLATE Chinese_PRC_CI_AS NULL,
    MoreNo    VARCHAR(255) COLLATE Chinese_PRC_CI_AS NULL,
    CONSTRAINT PK_Sys_Stock PRIMARY KEY (Id),
    CONSTRAINT FK_Sys_Stock_Sys_Shop FOREIGN KEY (ShopNo) REFERENCES dbo.Sys_Shop (ShopNo)
        ON DELETE CASCADE ON UPDATE CASCADE
);
GO

-- A merchant's stock: the cascade on delete and the visibility switch of merchant management.
-- The stock search tests LIKE '%x%' on several columns, which no index serves.
IF NOT EXISTS (SELECT 1 FROM sys.indexes
               WHERE name = N'IX_Sys_Stock_ShopNo' AND object_id = OBJECT_ID(N'dbo.Sys_Stock'))
    CREATE INDEX IX_Sys_Stock_ShopNo ON dbo.Sys_Stock (ShopNo);
GO
