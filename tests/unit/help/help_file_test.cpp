// The compiled help file holds every topic where the window looks for it: each page
// of the program's topic table, a short text per topic number in the text-popup
// source, and a context map that numbers the same pages. So does each language's, which
// names its language and keeps its text as the viewer reads it (contents, popups: code page).
#include <gtest/gtest.h>
#include <iconv.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <regex>
#include <sstream>
#include <unistd.h>
#include <string>

#include "window/whats_this.h"

namespace uvantic {
namespace {

namespace fs = std::filesystem;

// The in-file path of an address "file::/path".
std::string InFilePath(const std::wstring& address) {
  const std::wstring path = address.substr(address.find(L"::") + 2);
  return std::string(path.begin(), path.end());  // the addresses are plain ASCII
}

std::string RunTool(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen((command + " 2>/dev/null").c_str(), "r"), pclose);
  std::string output;
  if (!pipe) return output;
  std::array<char, 4096> buffer;
  while (size_t read = fread(buffer.data(), 1, buffer.size(), pipe.get())) output.append(buffer.data(), read);
  return output;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Text in a code page, as iconv names it; empty when the text has no place there.
std::string Encoded(std::string text, const char* codePage) {
  std::unique_ptr<void, int (*)(iconv_t)> converter(iconv_open(codePage, "UTF-8"), iconv_close);
  std::string out(text.size() * 4, '\0');
  char *from = text.data(), *to = out.data();
  size_t left = text.size(), room = out.size();
  const bool done = iconv(converter.get(), &from, &left, &to, &room) != static_cast<size_t>(-1);
  return done ? out.substr(0, out.size() - room) : std::string();
}

// Folder beside the program, header's language, code page of contents and popups, Device Manager.
struct Language { const char* tag; std::uint32_t languageId; const char* codePage; const char* deviceManager; };
const Language kLanguages[] = {
    {"", 0x409, "CP1252", "Device Manager"}, {"de", 0x407, "CP1252", "Geräte-Manager"},
    {"fr", 0x40C, "CP1252", "Gestionnaire de périphériques"}, {"es", 0xC0A, "CP1252", "Administrador de dispositivos"},
    {"it", 0x410, "CP1252", "Gestione dispositivi"}, {"pt-BR", 0x416, "CP1252", "Gerenciador de Dispositivos"},
    {"ja", 0x411, "CP932", "デバイス マネージャー"}, {"ko", 0x412, "CP949", "장치 관리자"},
    {"zh-CN", 0x804, "CP936", "设备管理器"},
};
void PrintTo(const Language& language, std::ostream* out) { *out << (*language.tag ? language.tag : "en"); }

class HelpFile : public testing::TestWithParam<Language> {
 protected:
  // The tools write beside the file they read, so they work on a copy.
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("uvantic-help-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    const fs::path file = fs::path(UVANTIC_HELP_FILE).parent_path() / GetParam().tag / "UvanticFinder.chm";
    ASSERT_TRUE(fs::exists(file)) << file;
    fs::copy_file(file, Chm(), fs::copy_options::overwrite_existing);
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path Chm() const { return dir_ / "help.chm"; }
  std::string Extracted(const std::string& inFilePath) const {
    const fs::path out = dir_ / "extracted";
    fs::remove(out);
    RunTool("chmls-3.2.2 extract " + Chm().string() + " " + inFilePath + " " + out.string());
    return ReadFile(out);
  }

  // Topic numbers 1 to 5 and the page the program opens for each.
  static std::map<int, std::string> ProgramPages() {
    std::map<int, std::string> pages;
    for (int topic = 1; topic <= 5; ++topic) {
      if (auto location = LocateHelpTopic(L"help.chm", topic)) pages[topic] = InFilePath(location->pageAddress);
    }
    return pages;
  }

  fs::path dir_;
};

INSTANTIATE_TEST_SUITE_P(EveryLanguage, HelpFile, testing::ValuesIn(kLanguages));

TEST_P(HelpFile, HoldsThePageOfEveryTopic) {
  std::string listing(1, '\n');  // so that every name, the first too, follows a newline
  listing += RunTool("chmls-3.2.2 -n list " + Chm().string());
  const auto pages = ProgramPages();
  ASSERT_EQ(pages.size(), 5u);
  for (const auto& [topic, page] : pages) {
    EXPECT_NE(listing.find("\n" + page + "\n"), std::string::npos) << "topic " << topic << ": " << page;
  }
  const Language& language = GetParam();
  std::uint32_t languageId = 0;  // the file header's, at 0x14
  std::memcpy(&languageId, ReadFile(Chm()).append(0x18, '\0').data() + 0x14, sizeof languageId);
  EXPECT_EQ(languageId, language.languageId);
  EXPECT_NE(Extracted("/devmgmt.htm").find(std::string("<h1>") + language.deviceManager + "</h1>"), std::string::npos);
  const std::string entry = "value=\"" + Encoded(language.deviceManager, language.codePage) + "\"";
  EXPECT_NE(Extracted("/toc.hhc").find(entry), std::string::npos) << language.deviceManager;
}

TEST_P(HelpFile, TextPopupSourceHasATextForEveryTopic) {
  const std::string source = InFilePath(LocateHelpTopic(L"help.chm", 1)->textPopupSource);
  const std::string text = Extracted(source);
  ASSERT_FALSE(text.empty()) << source;
  // Windows reads the popups line by line as its own help tools write them: CRLF.
  for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
    ASSERT_TRUE(at > 0 && text[at - 1] == '\r') << "a line of " << source << " ends in a bare LF at byte " << at;
  }

  // ".topic N" on a line of its own, followed by at least one line of text.
  const std::regex entry(R"((?:^|\n)\.topic (\d+)\r?\n([^.\r\n][^\r\n]*))");
  std::map<int, std::string> texts;
  for (std::sregex_iterator it(text.begin(), text.end(), entry), end; it != end; ++it) {
    texts[std::stoi((*it)[1])] = (*it)[2];
  }
  for (int topic = 1; topic <= 5; ++topic) EXPECT_TRUE(texts.count(topic)) << "topic " << topic;
  EXPECT_EQ(texts.size(), 5u);
  const std::string term = Encoded(GetParam().deviceManager, GetParam().codePage);
  ASSERT_FALSE(term.empty());
  EXPECT_NE(texts[3].find(term), std::string::npos) << "topic 3 in " << GetParam().codePage << ": " << texts[3];
}

TEST_P(HelpFile, ContextMapNumbersTheSamePages) {
  RunTool("chmls-3.2.2 extractalias " + Chm().string());
  const std::string aliases = ReadFile(dir_ / "help.ali");
  std::map<int, std::string> targets;
  const std::regex line(R"(helpid(\d+)=([^\r\n]+))");
  for (std::sregex_iterator it(aliases.begin(), aliases.end(), line), end; it != end; ++it) {
    targets[std::stoi((*it)[1])] = (*it)[2];
  }
  // The compiler stores the pages with the path they were compiled from in front,
  // which is why the program keeps its own table; the file names must agree.
  for (const auto& [topic, page] : ProgramPages()) {
    ASSERT_TRUE(targets.count(topic)) << "topic " << topic;
    const std::string& target = targets[topic];
    EXPECT_TRUE(target.size() >= page.size() && target.compare(target.size() - page.size(), page.size(), page) == 0)
        << "topic " << topic << ": " << target << " against " << page;
  }
  EXPECT_EQ(targets.size(), 5u);
}

}  // namespace
}  // namespace uvantic
