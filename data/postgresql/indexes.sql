-- Indexes for the tills' lookups on a PostgreSQL server, run after loading
-- (psql -f indexes.sql), and again after an upgrade: it adds what is missing
-- and drops what an earlier version made in its place. The tills' connections
-- compare text through expressions (see translateForPostgres): an index
-- serves a lookup only when it indexes the very expression the statement
-- holds, so these index those.
--
-- Text is compared folded: composed, lowered over all of Unicode (ICU's root
-- locale), in code point order. The functions below fold it, and a till that
-- finds them on the server compares through them. Codes and names are nearly
-- all ASCII, which needs neither composing nor ICU: lowering A to Z is the
-- whole fold, a tenth of the time. Each is a single expression, which the
-- server writes out in place of every call, in statements and indexes alike.
-- Their text takes the database's default collation: the tills and these
-- indexes compare and order it under "C", in code point order, whatever that
-- default is.
-- A till looks for them as it connects. On a server an earlier version
-- indexed, upgrade the tills, run this script, then start them again: a till
-- of that version, or one connected before, compares through the expressions
-- whose indexes this drops. A change to a function's body calls for REINDEX
-- of the indexes on it.
--
-- Typed text is matched anywhere in codes and names (a LIKE pattern may begin
-- with '%' and holds a '%' for every blank typed): trigram indexes (pg_trgm)
-- on the folded text answer such patterns. Codes and names compared with '='
-- use the key indexes below; the joins, bar codes and the advanced search's
-- conditions the ordinary B-tree indexes of ../schema.sql.
--
-- Tills that ignore accents (collation=ci_ai in their connection string)
-- compare the text without its accents: every index below has a twin, named
-- ...SinAcentos, on that fold (decomposed, marks U+0300 to U+036F dropped,
-- composed again; all of it immutable, as an index requires).

CREATE EXTENSION IF NOT EXISTS pg_trgm;

CREATE OR REPLACE FUNCTION TextoPlegado(t text) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT CASE WHEN octet_length(t) = char_length(t) THEN lower(t COLLATE "C") COLLATE "C"
                ELSE lower(normalize(t, NFC) COLLATE "und-x-icu") COLLATE "C" END
$$;
CREATE OR REPLACE FUNCTION TextoPlegadoSinAcentos(t text) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT CASE WHEN octet_length(t) = char_length(t) THEN lower(t COLLATE "C") COLLATE "C"
                ELSE normalize(regexp_replace(normalize(lower(normalize(t, NFC) COLLATE "und-x-icu") COLLATE "C", NFD),
                                              '[\u0300-\u036f]', '', 'g'), NFC) COLLATE "C" END
$$;

-- What an earlier version indexed: the fold written out in each index.
DROP INDEX IF EXISTS IX_Articulo_CodigoTrgm, IX_Articulo_NombreTrgm, IX_Articulo_NombreCortoTrgm,
    IX_Articulo_CodigoClave, IX_Articulo_NombreClave, IX_Articulo_CodigoTrgmSinAcentos,
    IX_Articulo_NombreTrgmSinAcentos, IX_Articulo_NombreCortoTrgmSinAcentos, IX_Articulo_CodigoClaveSinAcentos,
    IX_Articulo_NombreClaveSinAcentos, IX_ArticuloVariedadNombres_NombreTrgm,
    IX_ArticuloVariedadNombres_NombreCortoTrgm, IX_ArticuloVariedadNombres_NombreTrgmSinAcentos,
    IX_ArticuloVariedadNombres_NombreCortoTrgmSinAcentos, IX_ArticuloCodigoBarras_Comienzo,
    IX_ArticuloCodigoBarras_ComienzoSinAcentos;

-- Words anywhere in codes and names.
CREATE INDEX IF NOT EXISTS IX_Articulo_CodigoPlegadoTrgm ON Articulo USING gin
    ((TextoPlegado(ArtCodigo) COLLATE "C") gin_trgm_ops);
CREATE INDEX IF NOT EXISTS IX_Articulo_NombrePlegadoTrgm ON Articulo USING gin
    ((TextoPlegado(ArtNombre) COLLATE "C") gin_trgm_ops);
CREATE INDEX IF NOT EXISTS IX_Articulo_NombreCortoPlegadoTrgm ON Articulo USING gin
    ((TextoPlegado(ArtNombreCorto) COLLATE "C") gin_trgm_ops);

-- Codes by their beginning: a code, a bar code or a scale label typed at the
-- till is a pattern with no wildcard before its end, which a B-tree reads as
-- one range. The trigram index answers it too, but a code of digits shares
-- each of its trigrams with tens of thousands of codes: at a million articles
-- the server read an exact code's rows in 3.6 ms through it, 1.1 through this.
CREATE INDEX IF NOT EXISTS IX_Articulo_CodigoPlegado ON Articulo ((TextoPlegado(ArtCodigo) COLLATE "C"));

-- Codes compared with '=' (the search dialog's "equal to"), and their order.
CREATE INDEX IF NOT EXISTS IX_Articulo_CodigoPlegadoClave ON Articulo ((TextoPlegado(rtrim(ArtCodigo)) COLLATE "C"));
CREATE INDEX IF NOT EXISTS IX_Articulo_NombrePlegadoClave ON Articulo ((TextoPlegado(rtrim(ArtNombre)) COLLATE "C"));

-- The same for the tills that ignore accents.
CREATE INDEX IF NOT EXISTS IX_Articulo_CodigoPlegadoTrgmSinAcentos ON Articulo USING gin
    ((TextoPlegadoSinAcentos(ArtCodigo) COLLATE "C") gin_trgm_ops);
CREATE INDEX IF NOT EXISTS IX_Articulo_NombrePlegadoTrgmSinAcentos ON Articulo USING gin
    ((TextoPlegadoSinAcentos(ArtNombre) COLLATE "C") gin_trgm_ops);
CREATE INDEX IF NOT EXISTS IX_Articulo_NombreCortoPlegadoTrgmSinAcentos ON Articulo USING gin
    ((TextoPlegadoSinAcentos(ArtNombreCorto) COLLATE "C") gin_trgm_ops);
CREATE INDEX IF NOT EXISTS IX_Articulo_CodigoPlegadoSinAcentos ON Articulo
    ((TextoPlegadoSinAcentos(ArtCodigo) COLLATE "C"));
CREATE INDEX IF NOT EXISTS IX_Articulo_CodigoPlegadoClaveSinAcentos ON Articulo
    ((TextoPlegadoSinAcentos(rtrim(ArtCodigo)) COLLATE "C"));
CREATE INDEX IF NOT EXISTS IX_Articulo_NombrePlegadoClaveSinAcentos ON Articulo
    ((TextoPlegadoSinAcentos(rtrim(ArtNombre)) COLLATE "C"));

-- A list of thousands of names joins each row with its price and its stock:
-- read from these alone, without the rows of either table.
CREATE INDEX IF NOT EXISTS IX_PrecioVigente_Lista ON PrecioVigente (PViArticulo, PViVariedad, PViTipoPrecio, PViCantidad)
    INCLUDE (PViHabilitado, PViMoneda, PViPrecio);
CREATE INDEX IF NOT EXISTS IX_StockDisponible_Lista ON StockDisponible (SDiArticulo, SDiVariedad) INCLUDE (SDiCantidad);

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

CREATE INDEX IF NOT EXISTS IX_ArticuloVariedadNombres_NombrePlegadoTrgm ON ArticuloVariedadNombres USING gin
    ((TextoPlegado(NombreYVariedad) COLLATE "C") gin_trgm_ops);
CREATE INDEX IF NOT EXISTS IX_ArticuloVariedadNombres_NombreCortoPlegadoTrgm ON ArticuloVariedadNombres USING gin
    ((TextoPlegado(NombreCortoYVariedad) COLLATE "C") gin_trgm_ops);
CREATE INDEX IF NOT EXISTS IX_ArticuloVariedadNombres_NombrePlegadoTrgmSinAcentos ON ArticuloVariedadNombres USING gin
    ((TextoPlegadoSinAcentos(NombreYVariedad) COLLATE "C") gin_trgm_ops);
CREATE INDEX IF NOT EXISTS IX_ArticuloVariedadNombres_NombreCortoPlegadoTrgmSinAcentos ON ArticuloVariedadNombres
    USING gin ((TextoPlegadoSinAcentos(NombreCortoYVariedad) COLLATE "C") gin_trgm_ops);

-- Bar codes by what their pattern holds before its first wildcard: a scanned
-- code is looked up among the patterns that begin as it does.
CREATE INDEX IF NOT EXISTS IX_ArticuloCodigoBarras_ComienzoPlegado ON ArticuloCodigoBarras
    ((substring(TextoPlegado(ACBCodigo) COLLATE "C" from '^[^%_[]*')));
CREATE INDEX IF NOT EXISTS IX_ArticuloCodigoBarras_ComienzoPlegadoSinAcentos ON ArticuloCodigoBarras
    ((substring(TextoPlegadoSinAcentos(ACBCodigo) COLLATE "C" from '^[^%_[]*')));

ANALYZE;
-- The price and stock indexes above are read alone only where the tables'
-- pages are known to hold no row a transaction may not see; the server learns
-- that as it vacuums them.
VACUUM PrecioVigente, StockDisponible;
