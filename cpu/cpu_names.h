// The processor names known by vendor, brand index, family and model.
// Texts are in the Windows ANSI code page ("\xB5" is the micro sign).
#pragma once

#include <string>
#include <string_view>

enum VendorCode : int {
    kVendorUnknown = 0,
    kVendorIntel = 1,
    kVendorAmd = 2,
    kVendorUmc = 3,
    kVendorCyrix = 4,
    kVendorNexGen = 5,
    kVendorCentaur = 6,
    kVendorRise = 7,
    kVendorSis = 8,
    kVendorTransmeta = 9,
    kVendorNsc = 10,
};

// The vendor code of a 12-character vendor-identification text, compared
// exactly; 0 for any other text.
int VendorCodeOf(std::string_view vendorIdText);
// The manufacturer's name of a vendor code; "Unknown" for 0 and any other.
std::string_view ManufacturerName(int vendorCode);

// The text of an Intel brand index; empty when the index has none.
std::string_view BrandIndexName(int brandIndex);
// AMD's brand from its two fields: "Opteron UP 1", "DP 2" or "MP 8" by
// type 3, 4, 5, followed by 2 x number + 32; empty for other types.
std::string AmdBrandName(int brandType, int brandNumber);

// The family name from the standard (true) or extended (false) leaf's
// family and extended family; empty when no row matches.
std::string_view FamilyName(bool standard, int family, int familyEx, int vendorCode);
// The model name, without the extended-model suffix; empty when no row matches.
std::string_view ModelName(bool standard, int vendorCode, int family, int familyEx, int model,
                           int stepping);
