-- The lookup indexes as an earlier version of vok-catalogue and createLookupIndexes
-- wrote them, in the collation SQLSERVER that only our library has: the tests make
-- such files to prove that lookups stay right on them and that indexing upgrades them.

-- Indexes for the article entry control's lookups on the embedded (SQLite)
-- back end. Run this script once on a shop database (built from data/schema.sql,
-- or a host's own file with the same tables) from a connection on which the
-- back end's text comparison is installed: rdo::createLookupIndexes(db) does
-- both and refreshes the planner's statistics; the benchmarks and the tests
-- index their generated catalogues with it.
--
-- Why a collation of our own: the control compares codes and names as SQL
-- Server does (case-insensitive over all of Unicode, accent-sensitive, trailing
-- blanks ignored), which the back end installs as the collation SQLSERVER. The
-- lookups probe these indexes with ranges and lists in that collation, so the
-- indexes must be ordered by it. A connection that writes to these tables
-- (the shop's own application) must install the same collation first; one
-- that only reads (the sqlite3 shell, an ODBC driver) can ignore them.
--
-- Without this script every lookup still finds the same rows, by reading every
-- article and every bar code.
--
-- Besides indexes, the script keeps counts of the changes to the varieties
-- and to the articles' names and codes (a table of one row and a few triggers
-- each, at its end), which need nothing of the connections that write.

-- Codes and names by key: the ranges of "typed text%", and, with the code
-- after the name, the order of the candidate list. Each index also holds the
-- name (or the other name), so that a lookup decides on the index alone which
-- articles of a range it reads.
CREATE INDEX IF NOT EXISTS IX_Articulo_CodigoClave ON Articulo (ArtCodigo COLLATE SQLSERVER, ArtNombre);
CREATE INDEX IF NOT EXISTS IX_Articulo_NombreClave
    ON Articulo (ArtNombre COLLATE SQLSERVER, ArtCodigo COLLATE SQLSERVER, ArtNombreCorto);
CREATE INDEX IF NOT EXISTS IX_Articulo_NombreCortoClave
    ON Articulo (ArtNombreCorto COLLATE SQLSERVER, ArtCodigo COLLATE SQLSERVER, ArtNombre);

-- Short names whose first word does not begin the article's name (ASCII case
-- aside, and not followed there by a combining character). A lookup reads a
-- whole range of names and tries the short name of each article in it; of the
-- short names in the same range, it then needs only these: any other begins
-- with a word that begins the name, so the article is in the range already.
CREATE INDEX IF NOT EXISTS IX_Articulo_NombreCortoAparte
    ON Articulo (ArtNombreCorto COLLATE SQLSERVER, ArtNombre)
    WHERE ifnull(instr(ArtNombreCorto || ' ', ' ') = 1 Or
                 lower(substr(ArtNombre, 1, instr(ArtNombreCorto || ' ', ' ') - 1)) <>
                     lower(substr(ArtNombreCorto, 1, instr(ArtNombreCorto || ' ', ' ') - 1)) Or
                 ifnull(unicode(substr(ArtNombre, instr(ArtNombreCorto || ' ', ' '), 1)), 0) >= 768, 1);

-- Codes that do not begin with the article's name's first three letters (ASCII
-- case aside; any other character counts as differing). A lookup reads a whole
-- range of names and tries the code of each article in it; of the codes in
-- the range of a text of up to three letters, it then needs only these: the
-- others begin with it as the name does, so the article is in the range
-- already. A one-letter code otherwise read every code beginning with it (tens
-- of thousands at a million articles) to find none outside.
CREATE INDEX IF NOT EXISTS IX_Articulo_CodigoAparte
    ON Articulo (ArtCodigo COLLATE SQLSERVER, ArtNombre)
    WHERE ifnull(lower(substr(ArtCodigo, 1, 3)) <> lower(substr(ArtNombre, 1, 3)) Or
                 substr(ArtCodigo, 1, 4) GLOB '*[^ -~]*' Or substr(ArtNombre, 1, 4) GLOB '*[^ -~]*', 1);

-- Scanned codes: the stored patterns of a plain shape (the code, or one '%' at
-- the start or end of a scale label's fixed part) by key...
CREATE INDEX IF NOT EXISTS IX_ArticuloCodigoBarras_CodigoClave ON ArticuloCodigoBarras (ACBCodigo COLLATE SQLSERVER);
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
