-- Indexes for the article entry control's lookups on the embedded (SQLite)
-- back end. A shop's administrator gives them to the shop's file with
-- `vok-catalogue index FILE` (which also upgrades a file indexed by an earlier
-- version and refreshes the planner's statistics); rdo::createLookupIndexes(db)
-- does the same from a program.
--
-- Everything here is plain SQLite: the built-in NOCASE collation, built-in
-- functions, triggers of plain SQL. Any program that writes the shop's file
-- (the sqlite3 shell, Python, the back office) inserts, updates and deletes
-- as before, and the till sees its changes at its next lookup.
--
-- Why NOCASE: the control compares codes and names as SQL Server does
-- (case-insensitive over all of Unicode, accent-sensitive, trailing blanks
-- ignored). For text of ASCII letters that order is NOCASE's; the lookups
-- read these indexes by ranges of the typed text's case variants, and check
-- every row they read with SQL Server's rules, so that names with other
-- letters are found as well.
--
-- Without this script every lookup still finds the same rows, on the file's
-- own indexes or by reading every article and every bar code.
--
-- Besides indexes, the script keeps counts of the changes to the varieties
-- and to the articles' names and codes (a table of one row and a few triggers
-- each, at its end).

-- Codes and names by key, each with the code after it: the ranges of
-- "typed text%", and the order of the candidate list among equal names. Each
-- name's index also holds the other name, and the code's both names, so that
-- a lookup decides on the index alone which articles of a range it reads (a
-- typed code prefix: which of the codes it begins have a name it does not).
CREATE INDEX IF NOT EXISTS IX_Articulo_CodigoClave ON Articulo (ArtCodigo COLLATE NOCASE, ArtNombre, ArtNombreCorto);
CREATE INDEX IF NOT EXISTS IX_Articulo_NombreClave
    ON Articulo (ArtNombre COLLATE NOCASE, ArtCodigo COLLATE NOCASE, ArtNombreCorto);
CREATE INDEX IF NOT EXISTS IX_Articulo_NombreCortoClave
    ON Articulo (ArtNombreCorto COLLATE NOCASE, ArtCodigo COLLATE NOCASE, ArtNombre);

-- The articles whose name, short name or code holds a character outside
-- printable ASCII or ends in a blank, by each of the three: for such texts
-- NOCASE's order is not SQL Server's, so a lookup reads them apart from the
-- indexes above (a few in each range, sorted) and the others from them, in
-- order. The condition must stay word for word as the lookups write it.
CREATE INDEX IF NOT EXISTS IX_Articulo_NombreAparte ON Articulo (ArtNombre COLLATE NOCASE)
    WHERE ifnull(ArtNombre GLOB '*[^ -~]*' Or substr(ArtNombre, -1) = ' ' Or
                 ArtNombreCorto GLOB '*[^ -~]*' Or substr(ArtNombreCorto, -1) = ' ' Or
                 ArtCodigo GLOB '*[^ -~]*' Or substr(ArtCodigo, -1) = ' ', 0);
CREATE INDEX IF NOT EXISTS IX_Articulo_NombreCortoAparte ON Articulo (ArtNombreCorto COLLATE NOCASE)
    WHERE ifnull(ArtNombre GLOB '*[^ -~]*' Or substr(ArtNombre, -1) = ' ' Or
                 ArtNombreCorto GLOB '*[^ -~]*' Or substr(ArtNombreCorto, -1) = ' ' Or
                 ArtCodigo GLOB '*[^ -~]*' Or substr(ArtCodigo, -1) = ' ', 0);
CREATE INDEX IF NOT EXISTS IX_Articulo_CodigoAparte ON Articulo (ArtCodigo COLLATE NOCASE)
    WHERE ifnull(ArtNombre GLOB '*[^ -~]*' Or substr(ArtNombre, -1) = ' ' Or
                 ArtNombreCorto GLOB '*[^ -~]*' Or substr(ArtNombreCorto, -1) = ' ' Or
                 ArtCodigo GLOB '*[^ -~]*' Or substr(ArtCodigo, -1) = ' ', 0);

-- The articles whose name and short name begin apart (their first four
-- characters differ other than in case), by each name: a lookup by the name
-- finds by the short name, out of the name's range, only these (a handful
-- where short names abbreviate names), and the other way round. The condition
-- must stay word for word as the lookups write it.
CREATE INDEX IF NOT EXISTS IX_Articulo_NombreDistinto ON Articulo (ArtNombre COLLATE NOCASE)
    WHERE ifnull(substr(ArtNombreCorto, 1, 4) <> substr(ArtNombre, 1, 4) COLLATE NOCASE, 1);
CREATE INDEX IF NOT EXISTS IX_Articulo_NombreCortoDistinto ON Articulo (ArtNombreCorto COLLATE NOCASE)
    WHERE ifnull(substr(ArtNombreCorto, 1, 4) <> substr(ArtNombre, 1, 4) COLLATE NOCASE, 1);

-- Scanned codes: the stored patterns of a plain shape (the code, or one '%' at
-- the start or end of a scale label's fixed part) by key...
CREATE INDEX IF NOT EXISTS IX_ArticuloCodigoBarras_CodigoClave ON ArticuloCodigoBarras (ACBCodigo COLLATE NOCASE);
-- ...and the few patterns of any other shape, which every scan must try.
CREATE INDEX IF NOT EXISTS IX_ArticuloCodigoBarras_Generales ON ArticuloCodigoBarras (ACBCodigo)
    WHERE instr(ACBCodigo, '_') > 0 Or instr(ACBCodigo, '[') > 0 Or
          instr(substr(ACBCodigo, 2, length(ACBCodigo) - 2), '%') > 0 Or
          (length(ACBCodigo) > 1 And substr(ACBCodigo, 1, 1) = '%' And substr(ACBCodigo, -1, 1) = '%');

-- Varieties whose name begins with a combining character (U+0300 and above):
-- run together with the article's name they can change its last letter.
CREATE INDEX IF NOT EXISTS IX_ArticuloVariedad_Combinantes ON ArticuloVariedad (AVaArticulo)
    WHERE AVaNombre COLLATE BINARY >= char(768);

-- A count of the changes to the varieties, kept by triggers: a lookup keeps in
-- memory which articles have varieties and their names (most articles have
-- none, and a lookup by name would otherwise look for them and try their names
-- article by article) and reads that again only when this count has moved.
-- Without it every article is looked at; without the count of renamings, every
-- name is tried in the file.
CREATE TABLE IF NOT EXISTS ArticuloVariedadCambios (AVCCambios INTEGER NOT NULL);
INSERT INTO ArticuloVariedadCambios (AVCCambios)
    SELECT 0 WHERE NOT EXISTS (SELECT 1 FROM ArticuloVariedadCambios);
CREATE TRIGGER IF NOT EXISTS TR_ArticuloVariedad_Alta AFTER INSERT ON ArticuloVariedad
BEGIN
    UPDATE ArticuloVariedadCambios SET AVCCambios = AVCCambios + 1;
END;
CREATE TRIGGER IF NOT EXISTS TR_ArticuloVariedad_Baja AFTER DELETE ON ArticuloVariedad
BEGIN
    UPDATE ArticuloVariedadCambios SET AVCCambios = AVCCambios + 1;
END;
CREATE TRIGGER IF NOT EXISTS TR_ArticuloVariedad_Cambio AFTER UPDATE OF AVaArticulo ON ArticuloVariedad
BEGIN
    UPDATE ArticuloVariedadCambios SET AVCCambios = AVCCambios + 1;
END;
CREATE TRIGGER IF NOT EXISTS TR_ArticuloVariedad_Nombre AFTER UPDATE OF AVaNombre ON ArticuloVariedad
BEGIN
    UPDATE ArticuloVariedadCambios SET AVCCambios = AVCCambios + 1;
END;

-- A count of the changes to the articles' names and codes, kept by triggers: a
-- lookup keeps in memory which runs of two and three characters each stretch
-- of the name's index holds, so that the words typed after the first pass
-- over the stretches that cannot hold them, and reads that again only when
-- this count (or the varieties' count) has moved. Without it every stretch is
-- read.
CREATE TABLE IF NOT EXISTS ArticuloCambios (ACaCambios INTEGER NOT NULL);
INSERT INTO ArticuloCambios (ACaCambios) SELECT 0 WHERE NOT EXISTS (SELECT 1 FROM ArticuloCambios);
CREATE TRIGGER IF NOT EXISTS TR_Articulo_Alta AFTER INSERT ON Articulo
BEGIN
    UPDATE ArticuloCambios SET ACaCambios = ACaCambios + 1;
END;
CREATE TRIGGER IF NOT EXISTS TR_Articulo_Baja AFTER DELETE ON Articulo
BEGIN
    UPDATE ArticuloCambios SET ACaCambios = ACaCambios + 1;
END;
CREATE TRIGGER IF NOT EXISTS TR_Articulo_Nombre AFTER UPDATE OF ArtID, ArtNombre, ArtNombreCorto, ArtCodigo ON Articulo
BEGIN
    UPDATE ArticuloCambios SET ACaCambios = ACaCambios + 1;
END;
