-- Indexes for the tills' lookups on a PostgreSQL server, run after loading
-- (psql -f indexes.sql). The tills' connections compare text through
-- expressions (see translateForPostgres): an index serves a lookup only when
-- it indexes the very expression the statement holds, so these index those.
--
-- Typed text is matched anywhere in codes and names (a LIKE pattern may begin
-- with '%' and holds a '%' for every blank typed): trigram indexes (pg_trgm)
-- on the lowered, composed text answer such patterns. Codes and names compared
-- with '=' use the key indexes below; the joins, bar codes and the advanced
-- search's conditions the ordinary B-tree indexes of ../schema.sql.
--
-- Tills that ignore accents (collation=ci_ai in their connection string)
-- compare the text without its accents: every index below has a twin, named
-- ...SinAcentos, on that expression (decomposed, marks U+0300 to U+036F
-- dropped, composed again; all of it immutable, as an index requires).

CREATE EXTENSION IF NOT EXISTS pg_trgm;

-- Words anywhere in codes and names.
CREATE INDEX IF NOT EXISTS IX_Articulo_CodigoTrgm ON Articulo USING gin
    ((lower(normalize(ArtCodigo, NFC) COLLATE "und-x-icu") COLLATE "C") gin_trgm_ops);
CREATE INDEX IF NOT EXISTS IX_Articulo_NombreTrgm ON Articulo USING gin
    ((lower(normalize(ArtNombre, NFC) COLLATE "und-x-icu") COLLATE "C") gin_trgm_ops);
CREATE INDEX IF NOT EXISTS IX_Articulo_NombreCortoTrgm ON Articulo USING gin
    ((lower(normalize(ArtNombreCorto, NFC) COLLATE "und-x-icu") COLLATE "C") gin_trgm_ops);

-- Codes compared with '=' (the search dialog's "equal to"), and their order.
CREATE INDEX IF NOT EXISTS IX_Articulo_CodigoClave ON Articulo
    ((lower(normalize(rtrim(ArtCodigo), NFC) COLLATE "und-x-icu") COLLATE "C"));
CREATE INDEX IF NOT EXISTS IX_Articulo_NombreClave ON Articulo
    ((lower(normalize(rtrim(ArtNombre), NFC) COLLATE "und-x-icu") COLLATE "C"));

-- The same for the tills that ignore accents.
CREATE INDEX IF NOT EXISTS IX_Articulo_CodigoTrgmSinAcentos ON Articulo USING gin
    ((normalize(regexp_replace(normalize(lower(normalize(ArtCodigo, NFC) COLLATE "und-x-icu") COLLATE "C", NFD),
        '[\u0300-\u036f]', '', 'g'), NFC) COLLATE "C") gin_trgm_ops);
CREATE INDEX IF NOT EXISTS IX_Articulo_NombreTrgmSinAcentos ON Articulo USING gin
    ((normalize(regexp_replace(normalize(lower(normalize(ArtNombre, NFC) COLLATE "und-x-icu") COLLATE "C", NFD),
        '[\u0300-\u036f]', '', 'g'), NFC) COLLATE "C") gin_trgm_ops);
CREATE INDEX IF NOT EXISTS IX_Articulo_NombreCortoTrgmSinAcentos ON Articulo USING gin
    ((normalize(regexp_replace(normalize(lower(normalize(ArtNombreCorto, NFC) COLLATE "und-x-icu") COLLATE "C", NFD),
        '[\u0300-\u036f]', '', 'g'), NFC) COLLATE "C") gin_trgm_ops);
CREATE INDEX IF NOT EXISTS IX_Articulo_CodigoClaveSinAcentos ON Articulo
    ((normalize(regexp_replace(normalize(lower(normalize(rtrim(ArtCodigo), NFC) COLLATE "und-x-icu") COLLATE "C", NFD),
        '[\u0300-\u036f]', '', 'g'), NFC) COLLATE "C"));
CREATE INDEX IF NOT EXISTS IX_Articulo_NombreClaveSinAcentos ON Articulo
    ((normalize(regexp_replace(normalize(lower(normalize(rtrim(ArtNombre), NFC) COLLATE "und-x-icu") COLLATE "C", NFD),
        '[\u0300-\u036f]', '', 'g'), NFC) COLLATE "C"));

-- A variety is found by its article's name, or short name, run together with
-- its own: no index of either table holds those texts, and on a million
-- articles reading every variety to join them costs a second a lookup. This
-- table keeps them, maintained by the triggers below on every write to the
-- articles or their varieties, whoever makes it (the back office, psql): the
-- tills, which only read, narrow the varieties they join to the articles it
-- names. The triggers run as this script's owner, so a writer needs no rights
-- on it.
CREATE TABLE IF NOT EXISTS ArticuloVariedadNombres (
    AVaArticulo          integer NOT NULL,
    AVaID                integer NOT NULL,
    NombreYVariedad      text,
    NombreCortoYVariedad text,
    PRIMARY KEY (AVaArticulo, AVaID));

CREATE OR REPLACE FUNCTION ArticuloVariedadNombres_DeVariedad() RETURNS trigger
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
BEGIN
    IF TG_OP IN ('UPDATE', 'DELETE') THEN
        DELETE FROM ArticuloVariedadNombres WHERE AVaArticulo = OLD.AVaArticulo AND AVaID = OLD.AVaID;
    END IF;
    IF TG_OP IN ('INSERT', 'UPDATE') THEN
        INSERT INTO ArticuloVariedadNombres
        SELECT NEW.AVaArticulo, NEW.AVaID, ArtNombre || NEW.AVaNombre, ArtNombreCorto || NEW.AVaNombre
        FROM Articulo WHERE ArtID = NEW.AVaArticulo;
    END IF;
    RETURN NULL;
END $$;

CREATE OR REPLACE FUNCTION ArticuloVariedadNombres_DeArticulo() RETURNS trigger
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
BEGIN
    UPDATE ArticuloVariedadNombres SET NombreYVariedad = NEW.ArtNombre || AVaNombre,
                                       NombreCortoYVariedad = NEW.ArtNombreCorto || AVaNombre
    FROM ArticuloVariedad
    WHERE ArticuloVariedadNombres.AVaArticulo = NEW.ArtID AND ArticuloVariedad.AVaArticulo = NEW.ArtID
      AND ArticuloVariedad.AVaID = ArticuloVariedadNombres.AVaID;
    RETURN NULL;
END $$;

CREATE OR REPLACE FUNCTION ArticuloVariedadNombres_Vaciar() RETURNS trigger
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
BEGIN
    TRUNCATE ArticuloVariedadNombres;
    RETURN NULL;
END $$;

CREATE OR REPLACE TRIGGER ArticuloVariedadNombres_DeVariedad AFTER INSERT OR UPDATE OR DELETE ON ArticuloVariedad
    FOR EACH ROW EXECUTE FUNCTION ArticuloVariedadNombres_DeVariedad();
CREATE OR REPLACE TRIGGER ArticuloVariedadNombres_DeArticulo AFTER UPDATE OF ArtNombre, ArtNombreCorto ON Articulo
    FOR EACH ROW EXECUTE FUNCTION ArticuloVariedadNombres_DeArticulo();
CREATE OR REPLACE TRIGGER ArticuloVariedadNombres_Vaciar AFTER TRUNCATE ON ArticuloVariedad
    FOR EACH STATEMENT EXECUTE FUNCTION ArticuloVariedadNombres_Vaciar();

-- Filled from the varieties as they are (again, when the script runs again);
-- the triggers keep it since.
DELETE FROM ArticuloVariedadNombres n WHERE NOT EXISTS
    (SELECT 1 FROM ArticuloVariedad v WHERE v.AVaArticulo = n.AVaArticulo AND v.AVaID = n.AVaID);
INSERT INTO ArticuloVariedadNombres
SELECT AVaArticulo, AVaID, ArtNombre || AVaNombre, ArtNombreCorto || AVaNombre
FROM ArticuloVariedad JOIN Articulo ON ArtID = AVaArticulo
ON CONFLICT (AVaArticulo, AVaID) DO UPDATE
    SET NombreYVariedad = EXCLUDED.NombreYVariedad, NombreCortoYVariedad = EXCLUDED.NombreCortoYVariedad;

CREATE INDEX IF NOT EXISTS IX_ArticuloVariedadNombres_NombreTrgm ON ArticuloVariedadNombres USING gin
    ((lower(normalize(NombreYVariedad, NFC) COLLATE "und-x-icu") COLLATE "C") gin_trgm_ops);
CREATE INDEX IF NOT EXISTS IX_ArticuloVariedadNombres_NombreCortoTrgm ON ArticuloVariedadNombres USING gin
    ((lower(normalize(NombreCortoYVariedad, NFC) COLLATE "und-x-icu") COLLATE "C") gin_trgm_ops);
CREATE INDEX IF NOT EXISTS IX_ArticuloVariedadNombres_NombreTrgmSinAcentos ON ArticuloVariedadNombres USING gin
    ((normalize(regexp_replace(normalize(lower(normalize(NombreYVariedad, NFC) COLLATE "und-x-icu") COLLATE "C", NFD),
        '[\u0300-\u036f]', '', 'g'), NFC) COLLATE "C") gin_trgm_ops);
CREATE INDEX IF NOT EXISTS IX_ArticuloVariedadNombres_NombreCortoTrgmSinAcentos ON ArticuloVariedadNombres USING gin
    ((normalize(regexp_replace(normalize(lower(normalize(NombreCortoYVariedad, NFC) COLLATE "und-x-icu") COLLATE "C", NFD),
        '[\u0300-\u036f]', '', 'g'), NFC) COLLATE "C") gin_trgm_ops);

-- Bar codes by what their pattern holds before its first wildcard: a scanned
-- code is looked up among the patterns that begin as it does.
CREATE INDEX IF NOT EXISTS IX_ArticuloCodigoBarras_Comienzo ON ArticuloCodigoBarras
    ((substring(lower(normalize(ACBCodigo, NFC) COLLATE "und-x-icu") COLLATE "C" from '^[^%_[]*')));
CREATE INDEX IF NOT EXISTS IX_ArticuloCodigoBarras_ComienzoSinAcentos ON ArticuloCodigoBarras
    ((substring(normalize(regexp_replace(normalize(lower(normalize(ACBCodigo, NFC) COLLATE "und-x-icu") COLLATE "C", NFD),
                '[\u0300-\u036f]', '', 'g'), NFC) COLLATE "C" from '^[^%_[]*')));

ANALYZE;
