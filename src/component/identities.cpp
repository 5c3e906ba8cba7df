#include "identities.h"

#include <cstddef>
#include <stdexcept>

namespace component {

namespace {

constexpr uint8_t hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return static_cast<uint8_t>(c - '0');
    if (c >= 'A' && c <= 'F')
        return static_cast<uint8_t>(c - 'A' + 10);
    // A typo in the table below stops the build (constant evaluation fails).
    throw std::invalid_argument("identity digit");
}

// "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX", upper case, evaluated while
// compiling so that the identities exist before any static initialiser runs.
constexpr com::Guid guid(const char (&text)[37])
{
    std::array<uint8_t, 16> bytes{};
    size_t byte = 0;
    for (size_t i = 0; i < 36;) {
        if (text[i] == '-') {
            ++i;
            continue;
        }
        bytes[byte++] = static_cast<uint8_t>(hexValue(text[i]) << 4 | hexValue(text[i + 1]));
        i += 2;
    }
    if (byte != 16)
        throw std::invalid_argument("identity length");
    return com::Guid(bytes);
}

} // namespace

constinit const com::Guid LIBID_vokArtBuscar = guid("961793C7-98ED-454B-ACCB-A00EE46AED7B");
constinit const com::Guid CLSID_vokTArticulo = guid("E6BCB0D7-EE09-49BF-9A71-17C27125DC71");

constinit const IdentityHistory IID_vokTArticuloHistory = {
    guid("5E3AD2F4-6887-4C4C-9D05-BE1F1C8D28AE"), // 1.0
    guid("FB4BE731-E848-4359-BE01-2C4F62F1AEA9"),
    guid("EB89C7EF-E11C-4374-9E78-4E0ADBB7BEAA"),
    guid("65DB2B29-C6B2-443F-9EF3-EC6417759091"),
    guid("26A009DB-1654-4D75-ADD6-8A69E01CDA9E"),
    guid("2BC839E7-6B1A-4339-AC14-EF35BF4C06DF"), // 1.5
    guid("FA942344-F844-4061-915B-B1D9D051FCF5"),
    guid("8A4C96B8-81E1-42BD-9906-5901516905B5"),
    guid("0F0D0243-7886-4199-8CDE-7A623B447B57"),
    guid("D2902187-9E69-4821-92F8-0609732375F8"),
    guid("A37CACB5-BC65-4308-957B-831ABABFC205"), // 1.10
    guid("9138A8BE-1743-47C5-AE99-B18E7245AE10"),
    guid("94672291-25D2-4B4B-B53D-2EA0D4752E82"),
    guid("22A7A6A8-81B4-4B3F-ABE5-B9FBD0AFBAA4"),
    guid("D3EFC77A-7766-4641-BBF7-6EBE27CB619B"), // 1.14
    guid("00F0F3C2-373C-46A3-8704-047D46E99311"), // 1.15, current
};

constinit const IdentityHistory DIID_vokTArticuloEventsHistory = {
    guid("8E563335-A70C-4F1A-9FDE-6913CF6D23F7"), // 1.0
    guid("C5CC1575-840B-41AC-8585-8A18A576F2FC"),
    guid("0D49C4DF-0091-485C-962D-80E06BAB84EC"),
    guid("884F31C4-D633-492D-801A-46ABC193301C"),
    guid("1FA75A8C-A417-469C-9390-9976B79FCBAF"),
    guid("F1712E7C-3F5C-4F6C-AFCB-B0B6E522ADFB"), // 1.5
    guid("B33BDA6B-118F-4D6C-A610-B99FF9988381"),
    guid("B5D8E79F-DC30-4D3A-8CDF-382E94D81048"),
    guid("239CB6C0-4BE1-4598-9949-6EE44BF3B45C"),
    guid("4C03910C-45C8-4145-A7FD-C19C020B56AD"),
    guid("24E60EFC-6588-4117-A290-DB3B0D17B545"), // 1.10
    guid("874E722B-D461-48CE-A7BC-77BA39F28E0E"),
    guid("54E03677-76B5-42BD-AC81-BE42BC0A5408"),
    guid("E4F191C1-EA72-4D97-AC1B-841CF52468FB"),
    guid("2C0092EE-C1D0-4B59-B557-80194CB747EF"), // 1.14
    guid("4C52E327-DCB6-4E18-8ECB-B3B6E9DCE93D"), // 1.15, current
};

} // namespace component
