#pragma once
// The vendor's DevCon archive and its support article.
#include <cstdint>

namespace tunlatch::outside {

inline constexpr std::uint64_t kDevconArchiveSize = 79024;

// The vendor's DevCon archive. Its original address,
// http://download.microsoft.com/download/1/1/f/11f7dd10-272d-4cd2-896f-9ce67f3e0240/devcon.exe ,
// is retired; the preserved copy of the same archive is served over https.
inline constexpr const char* kDevconArchiveUrl =
    "https://web.archive.org/web/20050322060636id_/http://download.microsoft.com/download/1/1/f/"
    "11f7dd10-272d-4cd2-896f-9ce67f3e0240/devcon.exe";
// The vendor's support article about DevCon, opened when the user declines the download.
inline constexpr const char* kDevconSupportUrl = "https://support.microsoft.com/kb/311272/en-us";

}  // namespace tunlatch::outside
