-- The host database's tables the control reads, for a PostgreSQL server: the
-- same tables, columns and conventions as ../schema.sql (see there), in
-- PostgreSQL's types. Names are unquoted, so the server keeps them in lower
-- case and the control's statements find them in any case.
--
-- Text is plain text in the database's own collation: the tills' connections
-- (translate=postgresql) compare and sort it with SQL Server's rules
-- themselves, on keys that the index script indexes. The database must be in
-- UTF-8 on a server built with ICU (Debian's is).

CREATE TABLE cceEmpresas (
    EmpID       integer PRIMARY KEY,
    EmpPathImg  text
);

CREATE TABLE genParametros (
    ParNombre   text PRIMARY KEY,
    ParValor    text
);

CREATE TABLE genMonedas (
    MonID       integer PRIMARY KEY,
    MonSimbolo  text NOT NULL,
    MonRedondeo text
);

CREATE TABLE TipoDePrecio (
    TPrID           integer PRIMARY KEY,
    TPrTipo         integer NOT NULL,
    TPrEmpresa      integer NOT NULL REFERENCES cceEmpresas (EmpID),
    TPrListaPrecio  integer NOT NULL,
    TPrAbreviacion  text
);

CREATE TABLE UnidadesMedidas (
    UMeCodigo     integer PRIMARY KEY,
    UMeNombre     text NOT NULL,
    UMeDecimales  integer NOT NULL DEFAULT 0 CHECK (UMeDecimales BETWEEN 0 AND 3)
);

CREATE TABLE Marcas (
    MarCodigo  integer PRIMARY KEY,
    MarNombre  text NOT NULL
);

CREATE TABLE TipoArticulo (
    TArID      integer PRIMARY KEY,
    TArNombre  text NOT NULL
);

CREATE TABLE CategoriaDescuento (
    CDeCodigo  integer PRIMARY KEY,
    CDeNombre  text NOT NULL
);

CREATE TABLE genEntes (
    EntID           integer PRIMARY KEY,
    EntNombre1      text,
    EntNombre2      text,
    EntGuardarComo  text
);

CREATE TABLE Articulo (
    ArtID                  integer PRIMARY KEY,
    ArtCodigo              text NOT NULL,
    ArtNombre              text NOT NULL,
    ArtNombreCorto         text,
    ArtDescripcionCorta    text,
    ArtDescripcionLarga    text,
    ArtFoto                text,
    ArtPideNroSerie        integer NOT NULL DEFAULT 0,
    ArtEnUso               integer NOT NULL DEFAULT 1,
    ArtEnVenta             integer NOT NULL DEFAULT 1,
    ArtEsCombo             integer NOT NULL DEFAULT 0,
    ArtValidoMayorQ        integer NOT NULL DEFAULT 0,
    ArtUnidadMedida        integer NOT NULL REFERENCES UnidadesMedidas (UMeCodigo),
    ArtMarca               integer REFERENCES Marcas (MarCodigo),
    ArtTipo                integer REFERENCES TipoArticulo (TArID),
    ArtProveedor           integer REFERENCES genEntes (EntID),
    ArtCodigoProveedor     text,
    ArtCatDescuento        integer REFERENCES CategoriaDescuento (CDeCodigo),
    ArtEmpresa             integer NOT NULL REFERENCES cceEmpresas (EmpID),
    ArtNoUtilizarGenerico  integer NOT NULL DEFAULT 0
);

CREATE TABLE ArticuloVariedad (
    AVaArticulo  integer NOT NULL REFERENCES Articulo (ArtID),
    AVaID        integer NOT NULL CHECK (AVaID > 0),
    AVaNombre    text NOT NULL,
    AVaEnUso     integer NOT NULL DEFAULT 1,
    PRIMARY KEY (AVaArticulo, AVaID)
);

CREATE TABLE ArticuloCodigoBarras (
    ACBCodigo    text NOT NULL,
    ACBArticulo  integer NOT NULL REFERENCES Articulo (ArtID),
    ACBVariedad  integer NOT NULL DEFAULT 0,
    ACBCantidad  double precision NOT NULL DEFAULT 1,
    ACBLargo     integer NOT NULL DEFAULT 0
);

CREATE TABLE PrecioVigente (
    PViArticulo    integer NOT NULL REFERENCES Articulo (ArtID),
    PViVariedad    integer NOT NULL DEFAULT 0,
    PViTipoPrecio  integer NOT NULL REFERENCES TipoDePrecio (TPrID),
    PViCantidad    double precision NOT NULL DEFAULT 1,
    PViHabilitado  integer NOT NULL DEFAULT 1,
    PViMoneda      integer NOT NULL REFERENCES genMonedas (MonID),
    PViPrecio      double precision NOT NULL,
    PRIMARY KEY (PViArticulo, PViVariedad, PViTipoPrecio, PViCantidad)
);

CREATE TABLE StockDisponible (
    SDiArticulo  integer NOT NULL REFERENCES Articulo (ArtID),
    SDiVariedad  integer NOT NULL DEFAULT 0,
    SDiCantidad  double precision NOT NULL DEFAULT 0,
    PRIMARY KEY (SDiArticulo, SDiVariedad)
);
