#include "config/SettingsFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>

#include "config/FontValue.h"
#include "platform/AtomicFile.h"
#include "platform/Files.h"
#include "platform/Messages.h"
#include "platform/Text.h"
#include "settings/MetaTags.h"

namespace quenterra {

namespace {

constexpr char kGeneral[] = "GeneralConfiguration";
constexpr char kTags[] = "Tag Settings";
constexpr char kExtract[] = "ExtractConfiguration";
constexpr char kFullExtract[] = "FullExtractConfiguration";
constexpr char kWordTags[] = "Word Tag Settings";
constexpr char kHistory[] = "ExtractHistory";
constexpr char kFrequency[] = "FrequencyConfiguration";
constexpr char kStopWords[] = "StopList";

// GeneralConfiguration/CorpusEncoding: "UTF-8", or "CodePage" for the language's code page.
constexpr char kEncodingKey[] = "CorpusEncoding";
constexpr char kUtf8Value[] = "UTF-8";
constexpr char kCodePageValue[] = "CodePage";

// A settings file that holds a Language but no CorpusEncoding was written before the encoding
// could be chosen: its texts are in the code page. A file without either (new, or emptied)
// takes the default. Any value but UTF-8 ("utf8", letter case ignored) is the code page.
TCorpusEncoding ReadEncoding(const TIniFile& file) {
  if (!file.ValueExists(kGeneral, kEncodingKey)) {
    return file.ValueExists(kGeneral, "Language") ? TCorpusEncoding::kCodePage
                                                  : TGlobalSettings{}.Encoding;
  }
  std::string value;
  for (char c : file.ReadString(kGeneral, kEncodingKey, ""))
    if (c != '-' && c != ' ')
      value += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return value == "utf8" ? TCorpusEncoding::kUtf8 : TCorpusEncoding::kCodePage;
}

// A character key: its first character, code 0 for an empty value, `fallback` when missing.
TChar ReadCharKey(const TIniFile& file, const char* section, const char* key, TChar fallback,
                  const TCharCoding& coding) {
  if (!file.ValueExists(section, key)) return fallback;
  return coding.First(file.ReadString(section, key, ""));
}

void WriteCharKey(TIniFile& file, const char* section, const char* key, TChar c,
                  const TCharCoding& coding) {
  file.WriteString(section, key, c == 0 ? std::string() : coding.Encode(c));
}

// A character key whose empty (trimmed) value falls back to `fallback`.
TChar ReadTrimmedChar(const TIniFile& file, const char* section, const char* key, TChar fallback,
                      bool controls, const TCharCoding& coding) {
  std::string value = file.ReadString(section, key, coding.Encode(fallback));
  std::string_view trimmed = controls ? TrimControls(value) : TrimSpaces(value);
  return trimmed.empty() ? fallback : coding.First(trimmed);
}

uint8_t ReadByte(const TIniFile& file, const char* section, const char* key, uint8_t fallback) {
  return static_cast<uint8_t>(file.ReadInteger(section, key, fallback) & 0xFF);
}

TFontChoice StockFontIn(int32_t color) {
  TFontChoice font = TFontChoice::StockSystemFont();
  font.color = color;
  return font;
}

void ReadGeneral(const TIniFile& file, TGlobalSettings& global) {
  global.ConcordancePath = file.ReadString(kGeneral, "ConcordancePath", "");
  global.FreqPath = file.ReadString(kGeneral, "FreqPath", "");
  global.CorpusFreqPath = file.ReadString(kGeneral, "CorpusFreqPath", "");
  ReadFontKey(file, kGeneral, "CorpusFont", global.CorpusFont);
  ReadFontKey(file, kGeneral, "SystemFont", global.SystemFont);
}

void ReadTagSettings(const TIniFile& file, ZuzadovUdirev& config, const TCharCoding& coding) {
  config.TagStart = ReadTrimmedChar(file, kTags, "TagStart", '<', true, coding);
  config.TagStop = ReadTrimmedChar(file, kTags, "TagStop", '>', false, coding);
}

void ReadHistory(const TIniFile& file, TExtractHistory& history) {
  ReadCountedList(file, kHistory, "WordPhrase", history.WordPhrase);
  ReadCountedList(file, kHistory, "RegExp", history.RegExp);
  ReadCountedList(file, kHistory, "WordTag", history.WordTag);
  ReadCountedList(file, kHistory, "Batch", history.Batch);
  const int32_t batchKind = file.ReadInteger(kHistory, "LastBatchSyntax", 0);
  history.LastBatchSyntax = static_cast<int32_t>(ValidSearchKind(batchKind));
}

void WriteHistory(TIniFile& file, const TExtractHistory& history) {
  WriteCountedList(file, kHistory, "WordPhrase", history.WordPhrase);
  WriteCountedList(file, kHistory, "RegExp", history.RegExp);
  WriteCountedList(file, kHistory, "WordTag", history.WordTag);
  WriteCountedList(file, kHistory, "Batch", history.Batch);
  file.WriteInteger(kHistory, "LastBatchSyntax", history.LastBatchSyntax);
}

void ReadExtract(const TIniFile& file, ZuzadovUdirev& config, TExtractHistory& history,
                 const TCharCoding& coding) {
  config.NonWordChars = file.ReadString(kExtract, "NonWordChars", kDefaultNonWordChars);
  config.SkippingChars = file.ReadString(kExtract, "SkippingChars", "-=");
  config.EqualChars = file.ReadString(kExtract, "EqualChars", "");
  ParseEqualChars(config.EqualChars, coding, config.EqualGroups);
  config.WildCard0orMore = ReadCharKey(file, kExtract, "WildCard0orMore", '*', coding);
  config.WildCard0or1 = ReadCharKey(file, kExtract, "WildCard0or1", '%', coding);
  config.WildCardExactly1 = ReadCharKey(file, kExtract, "WildCardExactly1", '?', coding);
  config.TagSearchSeparator = ReadCharKey(file, kExtract, "TagSearchSeparator", '&', coding);
  config.TagUnorderedChar = ReadCharKey(file, kExtract, "TagUnorderedChar", '+', coding);
  config.TagSubsequentChar = ReadCharKey(file, kExtract, "TagSubsequentChar", '>', coding);
  config.SpanRange = std::clamp(file.ReadInteger(kExtract, "SpanRange", 2), 2, 12);
  config.SkipNormalTags = file.ReadBool(kExtract, "SkipNormalTags", true);
  config.Min_Word_Freq = file.ReadInteger(kExtract, "Min_Word_Freq", 2);
  config.Last_Method_Selected = ReadByte(file, kExtract, "Last_Method_Selected", 2);
  config.ignoreCase = file.ReadBool(kExtract, "ignoreCase", true);
  config.UseStoplist = file.ReadBool(kExtract, "UseStoplist", false);
  ReadFontKey(file, kExtract, "NormalFont", config.NormalFont);
  ReadFontKey(file, kExtract, "HiliteFont", config.HiliteFont);
  config.QuenterraFont = config.HiliteFont;
  config.QuenterraFont.color = TFontChoice::kRed;
  ReadFontKey(file, kExtract, "QuenterraFont", config.QuenterraFont);
  ReadHistory(file, history);
}

void ReadFullExtract(const TIniFile& file, TFullExtractOptions& options) {
  options.UsePOSTags = file.ReadBool(kFullExtract, "UsePOSTags", false);
  options.IF_Score_Method = ReadByte(file, kFullExtract, "IF_Score_Method", 4);
  options.IFMin_T_Score = file.ReadFloat(kFullExtract, "IFMin_T_Score", 0.5);
  options.IFMin_Mutual_Info = file.ReadFloat(kFullExtract, "IFMin_Mutual_Info", 0.5);
  options.IFMin_Likehood = file.ReadFloat(kFullExtract, "IFMin_Likehood", 1.0);
  options.EF_Score_Method = ReadByte(file, kFullExtract, "EF_Score_Method", 3);
  options.EFMin_Cost_Criteria = file.ReadInteger(kFullExtract, "EFMin_Cost_Criteria", 3);
  options.EFMin_Mutual_Info = file.ReadFloat(kFullExtract, "EFMin_Mutual_Info", 0.5);
  options.Min_Span = file.ReadInteger(kFullExtract, "Min_Span", 2);
  options.Max_Span = file.ReadInteger(kFullExtract, "Max_Span", 7);
}

void ReadWordTags(const TIniFile& file, ZuzadovUdirev& config, const TCharCoding& coding) {
  config.wTagStarts.clear();
  config.MetaTags.clear();
  config.WordTag = ReadByte(file, kWordTags, "WordTag", 0);
  config.wTagDelimiter = ReadTrimmedChar(file, kWordTags, "wTagDelimiter", '_', true, coding);
  config.wTagStop = ReadTrimmedChar(file, kWordTags, "wTagStop", '>', true, coding);
  config.wTagBefore = file.ReadBool(kWordTags, "wTagBefore", false);
  ReadCountedList(file, kWordTags, "wTagStarts", config.wTagStarts);
  // Row i pairs entry i of both lists, so an empty entry in one cannot shift the other.
  std::vector<std::string> names = ReadCountedListEntries(file, kWordTags, "MetaTagNames");
  std::vector<std::string> contents = ReadCountedListEntries(file, kWordTags, "MetaTagStrings");
  contents.resize(names.size());
  std::vector<TMetaTagRow> rows;
  for (size_t i = 0; i < names.size(); ++i) rows.push_back(TMetaTagRow{names[i], contents[i]});
  config.MetaTags = MetaTagsFromRows(rows);
}

// FrequencyConfiguration/StopListFileName names the stop list's file; when it is empty the words
// come from the counted list StopList/Word.
void ReadStopList(const TIniFile& file, TStopList& stopList) {
  stopList.SetFileName(file.ReadString(kFrequency, "StopListFileName", ""));
  if (!stopList.FileName().empty()) {
    stopList.LoadFromFile();
    return;
  }
  std::vector<std::string> words;
  ReadCountedList(file, kStopWords, "Word", words);
  stopList.SetWords(std::move(words));
}

// The file name; without one, a non-empty list replaces section StopList.
void WriteStopList(TIniFile& file, const TStopList& stopList) {
  file.WriteString(kFrequency, "StopListFileName", stopList.FileName());
  if (!stopList.FileName().empty() || stopList.Words().empty()) return;
  file.EraseSection(kStopWords);
  WriteCountedList(file, kStopWords, "Word", stopList.Words());
}

void WriteGeneral(TIniFile& file, const TGlobalSettings& global) {
  file.WriteString(kGeneral, "CorpusPath", global.CorpusPath);
  file.WriteString(kGeneral, "StopListPath", global.StopListPath);
  file.WriteString(kGeneral, "ConcordancePath", global.ConcordancePath);
  file.WriteString(kGeneral, "FreqPath", global.FreqPath);
  file.WriteString(kGeneral, "CorpusFreqPath", global.CorpusFreqPath);
  WriteFontKey(file, kGeneral, "CorpusFont", global.CorpusFont);
  WriteFontKey(file, kGeneral, "SystemFont", global.SystemFont);
}

void WriteExtract(TIniFile& file, const ZuzadovUdirev& config, const TCharCoding& coding) {
  file.WriteString(kExtract, "NonWordChars", config.NonWordChars);
  file.WriteString(kExtract, "SkippingChars", config.SkippingChars);
  file.WriteString(kExtract, "EqualChars", config.EqualChars);
  WriteCharKey(file, kExtract, "WildCard0orMore", config.WildCard0orMore, coding);
  WriteCharKey(file, kExtract, "WildCard0or1", config.WildCard0or1, coding);
  WriteCharKey(file, kExtract, "WildCardExactly1", config.WildCardExactly1, coding);
  WriteCharKey(file, kExtract, "WildCardMatchWords", config.WildCardMatchWords, coding);
  file.WriteInteger(kExtract, "MatchWordsLo", config.MatchWordsLo);
  file.WriteInteger(kExtract, "MatchWordsHi", config.MatchWordsHi);
  WriteCharKey(file, kExtract, "TagSearchSeparator", config.TagSearchSeparator, coding);
  WriteCharKey(file, kExtract, "TagUnorderedChar", config.TagUnorderedChar, coding);
  WriteCharKey(file, kExtract, "TagSubsequentChar", config.TagSubsequentChar, coding);
  file.WriteInteger(kExtract, "SpanRange", config.SpanRange);
  file.WriteBool(kExtract, "SkipNormalTags", config.SkipNormalTags);
  file.WriteBool(kExtract, "ignoreCase", config.ignoreCase);
  file.WriteBool(kExtract, "UseStoplist", config.UseStoplist);
  file.WriteInteger(kExtract, "Min_Word_Freq", config.Min_Word_Freq);
  file.WriteInteger(kExtract, "Last_Method_Selected", config.Last_Method_Selected);
  WriteFontKey(file, kExtract, "NormalFont", config.NormalFont);
  WriteFontKey(file, kExtract, "HiliteFont", config.HiliteFont);
  WriteFontKey(file, kExtract, "QuenterraFont", config.QuenterraFont);
}

void WriteFullExtract(TIniFile& file, const TFullExtractOptions& options) {
  file.WriteBool(kFullExtract, "UsePOSTags", options.UsePOSTags);
  file.WriteInteger(kFullExtract, "IF_Score_Method", options.IF_Score_Method);
  file.WriteFloat(kFullExtract, "IFMin_T_Score", options.IFMin_T_Score);
  file.WriteFloat(kFullExtract, "IFMin_Mutual_Info", options.IFMin_Mutual_Info);
  file.WriteFloat(kFullExtract, "IFMin_Likehood", options.IFMin_Likehood);
  file.WriteInteger(kFullExtract, "EF_Score_Method", options.EF_Score_Method);
  file.WriteInteger(kFullExtract, "EFMin_Cost_Criteria", options.EFMin_Cost_Criteria);
  file.WriteFloat(kFullExtract, "EFMin_Mutual_Info", options.EFMin_Mutual_Info);
  file.WriteInteger(kFullExtract, "Min_Span", options.Min_Span);
  file.WriteInteger(kFullExtract, "Max_Span", options.Max_Span);
}

void WriteWordTags(TIniFile& file, const ZuzadovUdirev& config, const TCharCoding& coding) {
  file.WriteInteger(kWordTags, "WordTag", config.WordTag);
  WriteCharKey(file, kWordTags, "wTagDelimiter", config.wTagDelimiter, coding);
  file.WriteBool(kWordTags, "wTagBefore", config.wTagBefore);
  WriteCharKey(file, kWordTags, "wTagStop", config.wTagStop, coding);
  WriteCountedList(file, kWordTags, "wTagStarts", config.wTagStarts);
  std::vector<std::string> names, contents;
  for (const TMetaTag& meta : config.MetaTags) {
    names.push_back(meta.name);
    contents.push_back(JoinMetaTagContents(meta.tags, ","));
  }
  WriteCountedList(file, kWordTags, "MetaTagNames", names);
  WriteCountedList(file, kWordTags, "MetaTagStrings", contents);
}

// Whether the file can be opened for reading and writing (created when `create` is set).
bool OpenableForWriting(const std::string& name, bool create) {
  int fd = ::open(name.c_str(), O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0), 0666);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

std::string WithSlash(std::string dir) {
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir;
}

}  // namespace

// ---- Locations --------------------------------------------------------------------------------

TConfigLocations DefaultConfigLocations() {
  TConfigLocations where{ProgramDirectory(), ""};
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  if (xdg != nullptr && xdg[0] == '/')
    where.configDir = WithSlash(xdg) + "quenterra/";
  else if (home != nullptr && home[0] != '\0')
    where.configDir = WithSlash(home) + ".config/quenterra/";
  return where;
}

std::string ConfigReadPath(const TConfigLocations& where) {
  std::string local = WithSlash(where.programDir) + kConfigFileName;
  if (FileExists(local) || where.configDir.empty()) return local;
  return WithSlash(where.configDir) + kConfigFileName;
}

std::string ConfigWritePath(const TConfigLocations& where) {
  std::string local = WithSlash(where.programDir) + kConfigFileName;
  if (FileExists(local) && OpenableForWriting(local, false) && DirectoryWritable(local))
    return local;
  if (where.configDir.empty()) return "";
  std::error_code error;
  std::filesystem::create_directories(where.configDir, error);
  std::string user = WithSlash(where.configDir) + kConfigFileName;
  if (OpenableForWriting(user, true) && DirectoryWritable(user)) return user;
  return "";
}

// ---- Reading and writing ----------------------------------------------------------------------

void ReadSettingsFrom(const TIniFile& file, TProgramSettings& settings) {
  ZuzadovUdirev& config = settings.config;
  TGlobalSettings& global = settings.global;
  // The language and the encoding come last, but the character keys are read in them.
  const int32_t language =
      file.ReadInteger(kGeneral, "Language", static_cast<int32_t>(UserDefaultLanguage()));
  const uint32_t stored = StoredLanguage(static_cast<uint32_t>(language));
  const TCorpusEncoding encoding = ReadEncoding(file);
  const TCharCoding coding = CorpusCoding(stored, encoding);
  global.CorpusFont = config.NormalFont = TFontChoice::StockSystemFont();
  config.HiliteFont = StockFontIn(TFontChoice::kBlue);
  config.QuenterraFont = StockFontIn(TFontChoice::kRed);
  global.SystemFont = TFontChoice::DefaultSystemFont();
  ReadGeneral(file, global);
  ReadTagSettings(file, config, coding);
  ReadExtract(file, config, settings.history, coding);
  ReadFullExtract(file, settings.fullExtract);
  ReadWordTags(file, config, coding);
  ReadStopList(file, settings.stopList);
  global.Language = stored;
  global.Encoding = encoding;
  settings.RebuildTables();
}

void WriteSettingsTo(TIniFile& file, const TProgramSettings& settings) {
  const bool utf8 = settings.global.Encoding == TCorpusEncoding::kUtf8;
  // Writing needs no code-page fallback: characters are written, not read.
  const TCharCoding coding = utf8 ? TCharCoding::Utf8({}) : TCharCoding();
  WriteGeneral(file, settings.global);
  WriteCharKey(file, kTags, "TagStart", settings.config.TagStart, coding);
  WriteCharKey(file, kTags, "TagStop", settings.config.TagStop, coding);
  WriteExtract(file, settings.config, coding);
  WriteHistory(file, settings.history);
  WriteFullExtract(file, settings.fullExtract);
  WriteWordTags(file, settings.config, coding);
  WriteStopList(file, settings.stopList);
  file.WriteInteger(kGeneral, "Language", settings.global.Language);
  file.WriteString(kGeneral, kEncodingKey, utf8 ? kUtf8Value : kCodePageValue);
}

bool HoldsSettings(const TIniFile& file) {
  for (const char* section :
       {kGeneral, kTags, kExtract, kHistory, kFullExtract, kWordTags, kFrequency, kStopWords}) {
    if (file.SectionExists(section)) return true;
  }
  return false;
}

bool ReadSettings(const std::string& fileName, TProgramSettings& settings) {
  try {
    ReadSettingsFrom(TIniFile::Load(fileName), settings);
    return true;
  } catch (const std::exception&) {
    MsgError("Could not read from configuration file " + fileName + "!");
    return false;
  }
}

bool WriteSettings(const std::string& fileName, const TProgramSettings& settings) {
  if (fileName.empty()) return false;  // no writable location: not saved, silently
  try {
    TIniFile file;
    WriteSettingsTo(file, settings);
    file.Save(fileName);
    return true;
  } catch (const std::exception&) {
    MsgError("Could not write to configuration file " + fileName + "!");
    return false;
  }
}

// ---- Single keys ------------------------------------------------------------------------------

namespace {

bool WriteSingleKey(const std::string& fileName, const char* key, const std::string& value) {
  if (fileName.empty()) return false;
  try {
    TIniFile file = TIniFile::Load(fileName);
    file.WriteString(kGeneral, key, value);
    file.Save(fileName);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

TIniFile LoadOrEmpty(const std::string& fileName) {
  try {
    return TIniFile::Load(fileName);
  } catch (const std::exception&) {
    return TIniFile{};
  }
}

}  // namespace

bool ReadSaveOnExit(const std::string& fileName) {
  return LoadOrEmpty(fileName).ReadBool(kGeneral, "SaveOnExit", false);
}

std::string ReadWorkspacePath(const std::string& fileName) {
  return LoadOrEmpty(fileName).ReadString(kGeneral, "WorkspacePath", "");
}

bool WriteSaveOnExit(const std::string& fileName, bool value) {
  return WriteSingleKey(fileName, "SaveOnExit", value ? "1" : "0");
}

bool WriteWorkspacePath(const std::string& fileName, const std::string& value) {
  return WriteSingleKey(fileName, "WorkspacePath", value);
}

}  // namespace quenterra
