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

-- Bar codes by what their pattern holds before its first wildcard: a scanned
-- code is looked up among the patterns that begin as it does.
CREATE INDEX IF NOT EXISTS IX_ArticuloCodigoBarras_Comienzo ON ArticuloCodigoBarras
    ((substring(lower(normalize(ACBCodigo, NFC) COLLATE "und-x-icu") COLLATE "C" from '^[^%_[]*')));

ANALYZE;
