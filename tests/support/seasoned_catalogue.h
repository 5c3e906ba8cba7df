#pragma once
// A generated catalogue seasoned with the awkward rows a shop's file can hold,
// and what a cashier may type against it: the texts the differential tests of
// the lookups run through two back ends and compare.

#include "lookup/query_builder.h"

#include <QString>
#include <QStringList>

#include <random>
#include <vector>

namespace vok::test {

// The texts typed texts are made of.
struct CatalogueTexts {
    std::vector<QString> codes, names, barCodes;
};

// Rows a shop's file may hold that a generated catalogue does not: case and
// accents, composed and decomposed letters, trailing blanks, empty and missing
// short names, short names that do not begin the name or say more than it, a
// name equal to another but for a trailing blank,
// quotes, a variety whose name starts with a combining accent, one short name
// for consecutive names, codes that begin as their names do up to a point,
// bar codes of every pattern shape, and one equal to the code of two articles
// of one name (its row ties with theirs in the list's order), and one equal
// to the name of three articles, of codes in another order than their
// identifiers, for the middle one (its row falls between theirs).
inline constexpr const char *kSeasoning = R"sql(
INSERT INTO Articulo (ArtID, ArtCodigo, ArtNombre, ArtNombreCorto, ArtUnidadMedida, ArtEmpresa, ArtNoUtilizarGenerico)
VALUES (900001, 'ñan01', 'ÑANDÚ DE PELUCHE', 'ñandú pel', 5, 1, 0),
       (900002, 'NAN01  ', 'nandu de peluche  ', NULL, 1, 1, 0),
       (900003, 'e' || char(769) || 'x1', 'e' || char(769) || 'XITO TOTAL', '', 5, 1, 0),
       (900004, 'O''B1', 'O''BRIEN MANTA', 'OBRIEN', 5, 1, 0),
       (900005, 'LEC', 'LECHE', 'LCH', 5, 1, 0),
       (900006, 'LEC', 'LECHE', 'LECH', 5, 1, 0),
       (900007, '[X]1', 'CAJA [X] 100%', 'CAJA_X', 5, 2, 0),
       (900008, 'K1', char(8490) || 'ILO DE ARROZ', 'KILO', 5, 1, 0),
       (900009, 'MR1', 'MANTA ROJA', 'MNT', 5, 1, 0),
       (900010, 'LECHEENT9', 'LECHE FRESCA', 'LF', 5, 1, 0),
       (900011, 'ML1', 'LECHE MULTIUSO', 'MULT LECH', 5, 1, 0),
       (900012, 'CB1', 'CAFE' || char(769) || ' TOSTADO', 'CAFE TOST', 5, 1, 0),
       (900013, 'TZ1', 'taza grande', 'TAZA GRA', 5, 1, 0),
       (900014, 'TZ2', 'TAZA CHICA', 'TAZA ROJA', 5, 1, 0),
       (900015, 'ZM1', 'ZUMO A', 'ZUMO KIWI', 5, 1, 0), (900016, 'ZM2', 'ZUMO B', 'ZUMO KIWI', 5, 1, 0),
       (900017, 'ZM3', 'ZUMO C', 'ZUMO KIWI', 5, 1, 0), (900018, 'ZM4', 'ZUMO D', 'ZUMO KIWI', 5, 1, 0),
       (900019, 'ZM5', 'ZUMO E', 'ZUMO KIWI', 5, 1, 0), (900020, 'ZM6', 'ZUMO F', 'ZUMO KIWI', 5, 1, 0),
       (900021, 'ZM7', 'ZUMO G', 'ZUMO KIWI', 5, 1, 0), (900022, 'ZM8', 'ZUMO H', 'ZUMO KIWI', 5, 1, 0),
       (900023, 'E' || char(769) || 'X9', 'E' || char(769) || 'XITOS', 'EXS', 5, 1, 0),
       (900024, 'taz9', 'TAZON', 'TZN', 5, 1, 0), (900025, 'TAX1', 'TAZA AZUL', 'TZA', 5, 1, 0),
       (900026, 'CA', 'CAFETERA', 'CFT', 5, 1, 0), (900027, 'TZ0', 'TAZA ', 'TAZA', 5, 1, 0),
       (900028, 'TZ8', 'taza', 'TAZA', 5, 1, 0), (900029, 'TT3', 'TETERA', 'TTR', 5, 1, 0),
       (900030, 'tt1', 'tetera', 'TTR', 5, 1, 0), (900031, 'TT2', 'TETERA', 'TTR', 5, 1, 0);
INSERT INTO ArticuloVariedad (AVaArticulo, AVaID, AVaNombre, AVaEnUso)
VALUES (900005, 1, ' ENTERA', 1), (900005, 2, char(769) || 'NTIMA', 1), (900005, 3, '   ', 0),
       (900003, 1, 'Azul', 1), (900009, 1, 'XL', 1), (900010, 1, 'AZUL', 1);
INSERT INTO ArticuloCodigoBarras (ACBCodigo, ACBArticulo, ACBVariedad, ACBCantidad, ACBLargo)
VALUES ('%', 900001, 0, 1, 0), ('%778899', 900002, 0, 2, 9), ('2099%', 900003, 0, 1, 0),
       ('12_45', 900004, 0, 1, 5), ('[0-4]%', 900005, 0, 1, 4), ('%55%', 900006, 0, 1, 0),
       ('abc', 900007, 0, 1, 0), ('ABC ', 900008, 0, 1, 0), ('4455', 900005, 1, 3, 0),
       ('%1', 900005, 2, 1, 0), ('', 900006, 0, 1, 0), ('%%', 900001, 0, 1, 2), ('x''y', 900004, 0, 1, 0),
       ('LEC', 900006, 0, 1, 0), ('TETERA', 900031, 0, 1, 0);
)sql";

// What a cashier may type, built from the catalogue's own codes and names.
class Typist {
public:
    Typist(const CatalogueTexts &c, uint32_t seed) : m_c(c), m_random(seed) {}

    QString next()
    {
        // First the texts aimed at the seasoning rows.
        if (aiming())
            return kAimed[m_aimed++ / 2];
        QString text;
        switch (pick(9)) {
        case 0: // an article code, whole or its beginning
            text = any(m_c.codes);
            text = text.left(1 + pick(static_cast<uint32_t>(text.size())));
            break;
        case 1: { // words of a name, the last one cut short
            const QStringList words = any(m_c.names).split(u' ', Qt::SkipEmptyParts);
            for (qsizetype i = 0; i < words.size() && i < 1 + pick(3); ++i)
                text += (i ? u" "_qs : QString()) + words[i].left(1 + pick(6));
            break;
        }
        case 2: { // a bar code as scanned: its variable part filled in
            text = any(m_c.barCodes);
            text.replace(u'%', QString::number(pick(1000000)));
            text.replace(u'_', u'7');
            break;
        }
        case 3: // blanks only
            text = QString(1 + pick(3), u' ');
            break;
        default: { // a text with wildcards, quotes, case and blanks mixed in
            static const QStringList extras = {u"%"_qs, u"_"_qs, u"["_qs, u"]"_qs, u"[a-f]"_qs, u"[^0]"_qs,
                                               u"'"_qs, u"*"_qs, u" "_qs,  u"é"_qs,  u"Ñ"_qs,    u"\u0301"_qs};
            text = any(pick(2) ? m_c.names : m_c.codes).left(1 + pick(8));
            for (uint32_t i = pick(3); i > 0; --i)
                text.insert(pick(static_cast<uint32_t>(text.size() + 1)), extras[pick(static_cast<uint32_t>(extras.size()))]);
            break;
        }
        }
        if (pick(4) == 0)
            text = pick(2) ? text.toLower() : text.toUpper();
        if (pick(6) == 0)
            text = u' ' + text + u' ';
        return text;
    }

    // Settings for the next lookup, every one that shapes the statement; the
    // seasoning rows are of company 1, and mostly varieties.
    lookup::LookupSettings nextSettings()
    {
        const bool aimed = aiming();
        lookup::LookupSettings s;
        s.NombreADesplegar = aimed ? aimedDisplay() : static_cast<int32_t>(pick(2));
        s.FormatoLista = static_cast<uint8_t>(pick(4));
        s.mintTipoPrecio = static_cast<int16_t>(pick(3));
        s.Empresa = static_cast<int16_t>(aimed ? 1 : 1 + pick(2));
        s.EnVentaObligatorio = static_cast<uint8_t>(pick(2));
        s.EnUsoObligatorio = static_cast<uint8_t>(pick(2));
        s.OmitirVariedad = !aimed && pick(4) == 0;
        return s;
    }

    // Whether the next text is one of those aimed at the seasoning rows, each
    // typed twice: with the article's name displayed, then its short name.
    bool aiming() const { return m_aimed < 2 * kAimed.size(); }
    int32_t aimedDisplay() const { return static_cast<int32_t>(m_aimed % 2); }
    uint32_t pick(uint32_t n) { return std::uniform_int_distribution<uint32_t>(0, n - 1)(m_random); }

private:
    const QString &any(const std::vector<QString> &values) { return values[pick(static_cast<uint32_t>(values.size()))]; }

    inline static const QStringList kAimed = {
        u"LECHÉN"_qs, u"lechéntima"_qs, u"ñandú d"_qs,   u"NANDU"_qs, u"nan01"_qs, u"O'B"_qs,  u"e\u0301x"_qs,
        u"éxito"_qs,  u"kilo"_qs,       u"\u212Ailo"_qs, u"2099123"_qs, u"12345"_qs, u"ABC"_qs, u"x'y"_qs,
        u"[X]"_qs,    u"*ENT"_qs,       u"LECHE ENT"_qs, u"4455"_qs,  u"778899"_qs, u"31"_qs, u"MANTA ROJA X"_qs,
        u"MULT"_qs,   u"CAFE TOST"_qs,  u"TAZA ROJ"_qs,  u"taza gr"_qs,  u"\u00e9x9"_qs, u"TAZ9"_qs, u"TAX"_qs,
        u"ta"_qs,     u"CA"_qs,         u"LEC"_qs,       u"ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKL"_qs};
    const CatalogueTexts &m_c;
    std::mt19937 m_random;
    qsizetype m_aimed = 0;
};

} // namespace vok::test
