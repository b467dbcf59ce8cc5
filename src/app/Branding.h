#pragma once

// Everything that makes this build the plant's own: names, version and addresses.
// A build for another plant changes this file only.
namespace Branding
{
inline constexpr const char* applicationName = "Orvane Inc. (Demo) Tavlo";
inline constexpr const char* applicationVersion = "3.0.1.0";

inline constexpr const char* plantName = "Orvane Inc.";
inline constexpr const char* plantWebPage = "https://www.orvane-demo.example/";
inline constexpr const char* plantFtpHost = "ftp.orvane-demo.example";
inline constexpr const char* remoteActivityUrl = "http://www.orvane-demo.example/tavlo/startremoteactivity.php";

inline constexpr const char* makerName = "Kalmera Audio Engineering";
inline constexpr const char* makerWebSite = "https://www.kalmera-audio.example/";
inline constexpr const char* instructionsUrl = "https://www.kalmera-audio.example/downloads/Tavlo-Instructions.pdf";
} // namespace Branding
