// The settings file's encoding of a font, "name,size,style,colour,charset" ("Arial,10,1,255,0"),
// shared by the settings file and workspace files.
#pragma once

#include <string>
#include <string_view>

#include "platform/IniFile.h"
#include "settings/Settings.h"

namespace quenterra {

// A font stored as "name,size,style,colour,charset". An empty value leaves `font` unchanged; the
// name runs to the first ',', ':' or ';' (at most 31 characters kept), each further field to the
// next space, ',', ':' or ';'; a missing, empty or non-numeric field counts as 0; the style keeps
// its low 8 bits.
void ReadFontKey(const TIniFile& file, std::string_view section, std::string_view key,
                 TFontChoice& font);
void WriteFontKey(TIniFile& file, std::string_view section, std::string_view key,
                  const TFontChoice& font);
// The same two encodings on a bare value.
void ParseFontValue(std::string_view value, TFontChoice& font);
std::string FormatFontValue(const TFontChoice& font);

}  // namespace quenterra
