// The compiled help file holds every topic where the window looks for it: each page
// of the program's topic table, a short text per topic number in the text-popup
// source, and a context map that numbers the same pages.
#include <gtest/gtest.h>

#include <array>
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

class HelpFile : public testing::Test {
 protected:
  // The tools write beside the file they read, so they work on a copy.
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("uvantic-help-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    ASSERT_TRUE(fs::exists(UVANTIC_HELP_FILE)) << UVANTIC_HELP_FILE;
    fs::copy_file(UVANTIC_HELP_FILE, Chm(), fs::copy_options::overwrite_existing);
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path Chm() const { return dir_ / "help.chm"; }

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

TEST_F(HelpFile, HoldsThePageOfEveryTopic) {
  std::string listing(1, '\n');  // so that every name, the first too, follows a newline
  listing += RunTool("chmls-3.2.2 -n list " + Chm().string());
  const auto pages = ProgramPages();
  ASSERT_EQ(pages.size(), 5u);
  for (const auto& [topic, page] : pages) {
    EXPECT_NE(listing.find("\n" + page + "\n"), std::string::npos) << "topic " << topic << ": " << page;
  }
}

TEST_F(HelpFile, TextPopupSourceHasATextForEveryTopic) {
  const std::string source = InFilePath(LocateHelpTopic(L"help.chm", 1)->textPopupSource);
  const fs::path extracted = dir_ / "popups.txt";
  RunTool("chmls-3.2.2 extract " + Chm().string() + " " + source + " " + extracted.string());
  const std::string text = ReadFile(extracted);
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
}

TEST_F(HelpFile, ContextMapNumbersTheSamePages) {
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
