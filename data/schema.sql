-- Host database tables read by the article entry control.
--
-- The shop's application owns this database; the control only ever reads it
-- (lookups by code, name and bar code, the advanced search, the detail view and
-- the two settings it caches). This file creates exactly the tables and columns
-- those reads rely on, so that a SQLite file built from it can stand in for the
-- shop's server in tests, demos and the catalogue generator.
--
-- Conventions of the host database that the control depends on:
--  * Variety 0 means "no variety" in ACBVariedad, PViVariedad and SDiVariedad;
--    real varieties are numbered from 1 within their article (AVaID is a small
--    number, unique per article, not across the table).
--  * ArtNoUtilizarGenerico = 1 marks an article that must not be sold without
--    choosing one of its varieties.
--  * ACBCodigo is a LIKE pattern: a fixed part, optionally with one "%" for the
--    variable part of a scale label; ACBLargo is the total length a scanned
--    code must have (0 = any length).
--  * TipoDePrecio maps a company's price list to the price type used in
--    PrecioVigente; TPrTipo = 1 marks sale prices.
--  * Flags are 0/1 integers; quantities and prices are REAL.
--  * Codes and names that the lookups compare with LIKE use NOCASE, like the
--    shop's case-insensitive server collation; it also lets SQLite answer a
--    prefix LIKE from the index.
--
-- Varieties, prices and stock are keyed by article first and stored in key
-- order (WITHOUT ROWID), which is the order every join reaches them in.
--
-- The control never writes, so the keys and indexes below are there for the
-- lookups: article by code and by name, varieties by article, bar codes by
-- code and by article, the price join by article/variety/type/quantity, stock
-- by article/variety, and the sub-selects of the advanced search by name.

CREATE TABLE cceEmpresas (
    EmpID       INTEGER PRIMARY KEY,
    EmpPathImg  TEXT
);

CREATE TABLE genParametros (
    ParNombre   TEXT PRIMARY KEY COLLATE NOCASE,
    ParValor    TEXT
);

CREATE TABLE genMonedas (
    MonID       INTEGER PRIMARY KEY,
    MonSimbolo  TEXT NOT NULL,
    MonRedondeo TEXT
);

CREATE TABLE TipoDePrecio (
    TPrID           INTEGER PRIMARY KEY,
    TPrTipo         INTEGER NOT NULL,
    TPrEmpresa      INTEGER NOT NULL REFERENCES cceEmpresas (EmpID),
    TPrListaPrecio  INTEGER NOT NULL,
    TPrAbreviacion  TEXT
);

CREATE TABLE UnidadesMedidas (
    UMeCodigo     INTEGER PRIMARY KEY,
    UMeNombre     TEXT NOT NULL COLLATE NOCASE,
    UMeDecimales  INTEGER NOT NULL DEFAULT 0 CHECK (UMeDecimales BETWEEN 0 AND 3)
);

CREATE TABLE Marcas (
    MarCodigo  INTEGER PRIMARY KEY,
    MarNombre  TEXT NOT NULL COLLATE NOCASE
);

CREATE TABLE TipoArticulo (
    TArID      INTEGER PRIMARY KEY,
    TArNombre  TEXT NOT NULL COLLATE NOCASE
);

CREATE TABLE CategoriaDescuento (
    CDeCodigo  INTEGER PRIMARY KEY,
    CDeNombre  TEXT NOT NULL COLLATE NOCASE
);

-- Suppliers (and other parties): legal name, trade name and the "file as" name.
CREATE TABLE genEntes (
    EntID           INTEGER PRIMARY KEY,
    EntNombre1      TEXT COLLATE NOCASE,
    EntNombre2      TEXT COLLATE NOCASE,
    EntGuardarComo  TEXT COLLATE NOCASE
);

CREATE TABLE Articulo (
    ArtID                  INTEGER PRIMARY KEY,
    ArtCodigo              TEXT NOT NULL COLLATE NOCASE,
    ArtNombre              TEXT NOT NULL COLLATE NOCASE,
    ArtNombreCorto         TEXT COLLATE NOCASE,
    ArtDescripcionCorta    TEXT COLLATE NOCASE,
    ArtDescripcionLarga    TEXT COLLATE NOCASE,
    ArtFoto                TEXT,
    ArtPideNroSerie        INTEGER NOT NULL DEFAULT 0,
    ArtEnUso               INTEGER NOT NULL DEFAULT 1,
    ArtEnVenta             INTEGER NOT NULL DEFAULT 1,
    ArtEsCombo             INTEGER NOT NULL DEFAULT 0,
    ArtValidoMayorQ        INTEGER NOT NULL DEFAULT 0,
    ArtUnidadMedida        INTEGER NOT NULL REFERENCES UnidadesMedidas (UMeCodigo),
    ArtMarca               INTEGER REFERENCES Marcas (MarCodigo),
    ArtTipo                INTEGER REFERENCES TipoArticulo (TArID),
    ArtProveedor           INTEGER REFERENCES genEntes (EntID),
    ArtCodigoProveedor     TEXT COLLATE NOCASE,
    ArtCatDescuento        INTEGER REFERENCES CategoriaDescuento (CDeCodigo),
    ArtEmpresa             INTEGER NOT NULL REFERENCES cceEmpresas (EmpID),
    ArtNoUtilizarGenerico  INTEGER NOT NULL DEFAULT 0
);

CREATE TABLE ArticuloVariedad (
    AVaArticulo  INTEGER NOT NULL REFERENCES Articulo (ArtID),
    AVaID        INTEGER NOT NULL CHECK (AVaID > 0),
    AVaNombre    TEXT NOT NULL COLLATE NOCASE,
    AVaEnUso     INTEGER NOT NULL DEFAULT 1,
    PRIMARY KEY (AVaArticulo, AVaID)
) WITHOUT ROWID;

CREATE TABLE ArticuloCodigoBarras (
    ACBCodigo    TEXT NOT NULL,
    ACBArticulo  INTEGER NOT NULL REFERENCES Articulo (ArtID),
    ACBVariedad  INTEGER NOT NULL DEFAULT 0,
    ACBCantidad  REAL NOT NULL DEFAULT 1,
    ACBLargo     INTEGER NOT NULL DEFAULT 0
);

CREATE TABLE PrecioVigente (
    PViArticulo    INTEGER NOT NULL REFERENCES Articulo (ArtID),
    PViVariedad    INTEGER NOT NULL DEFAULT 0,
    PViTipoPrecio  INTEGER NOT NULL REFERENCES TipoDePrecio (TPrID),
    PViCantidad    REAL NOT NULL DEFAULT 1,
    PViHabilitado  INTEGER NOT NULL DEFAULT 1,
    PViMoneda      INTEGER NOT NULL REFERENCES genMonedas (MonID),
    PViPrecio      REAL NOT NULL,
    PRIMARY KEY (PViArticulo, PViVariedad, PViTipoPrecio, PViCantidad)
) WITHOUT ROWID;

CREATE TABLE StockDisponible (
    SDiArticulo  INTEGER NOT NULL REFERENCES Articulo (ArtID),
    SDiVariedad  INTEGER NOT NULL DEFAULT 0,
    SDiCantidad  REAL NOT NULL DEFAULT 0,
    PRIMARY KEY (SDiArticulo, SDiVariedad)
) WITHOUT ROWID;

-- Lookups by code or name (prefix LIKE), and the company filter.
CREATE INDEX IX_Articulo_Codigo      ON Articulo (ArtCodigo);
CREATE INDEX IX_Articulo_Nombre      ON Articulo (ArtNombre);
CREATE INDEX IX_Articulo_NombreCorto ON Articulo (ArtNombreCorto);
CREATE INDEX IX_Articulo_Empresa     ON Articulo (ArtEmpresa);

-- The advanced search's "In (Select ...)" conditions.
CREATE INDEX IX_Articulo_Marca         ON Articulo (ArtMarca);
CREATE INDEX IX_Articulo_Tipo          ON Articulo (ArtTipo);
CREATE INDEX IX_Articulo_Proveedor     ON Articulo (ArtProveedor);
CREATE INDEX IX_Articulo_CatDescuento  ON Articulo (ArtCatDescuento);
CREATE INDEX IX_Articulo_UnidadMedida  ON Articulo (ArtUnidadMedida);
CREATE INDEX IX_Articulo_CodProveedor  ON Articulo (ArtCodigoProveedor);
CREATE INDEX IX_Marcas_Nombre              ON Marcas (MarNombre);
CREATE INDEX IX_TipoArticulo_Nombre        ON TipoArticulo (TArNombre);
CREATE INDEX IX_CategoriaDescuento_Nombre  ON CategoriaDescuento (CDeNombre);
CREATE INDEX IX_UnidadesMedidas_Nombre     ON UnidadesMedidas (UMeNombre);
CREATE INDEX IX_genEntes_Nombre1           ON genEntes (EntNombre1);
CREATE INDEX IX_genEntes_Nombre2           ON genEntes (EntNombre2);
CREATE INDEX IX_genEntes_GuardarComo       ON genEntes (EntGuardarComo);

-- Bar codes: exact scans by code, and the article/variety join.
CREATE INDEX IX_ArticuloCodigoBarras_Codigo   ON ArticuloCodigoBarras (ACBCodigo);
CREATE INDEX IX_ArticuloCodigoBarras_Articulo ON ArticuloCodigoBarras (ACBArticulo, ACBVariedad);

-- The price type of a company's price list.
CREATE INDEX IX_TipoDePrecio_Lista ON TipoDePrecio (TPrEmpresa, TPrListaPrecio, TPrTipo);
