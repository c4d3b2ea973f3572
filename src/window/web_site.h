// The maker's web site home page: the logo's tooltip shows it and a click on the logo
// opens it.
#pragma once

namespace uvantic {

inline constexpr wchar_t kWebSiteAddress[] = L"https://www.uvantic.com/";

}  // namespace uvantic
