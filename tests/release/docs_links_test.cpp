// Links between the user pages must work in the download: every relative link names a
// page or picture that exists, and every #anchor names a heading of that page (as code
// hosts make anchors: lower case, punctuation dropped, spaces to hyphens). Every picture in
// docs/images/ is shown by some page: none is shipped for nothing.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace {

const fs::path kDocs = QUILLON_DOCS_DIR;

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string slug(const std::string& heading) {
    std::string out;
    for (unsigned char c : heading) {
        if (std::isalnum(c))
            out += static_cast<char>(std::tolower(c));
        else if (c == ' ' || c == '-')
            out += '-';
        else if (c == '_')
            out += '_';
        else if (c >= 0x80)
            out += static_cast<char>(c); // non-ASCII letters stay
    }
    return out;
}

std::set<std::string> anchors(const fs::path& page) {
    std::set<std::string> out;
    std::stringstream lines(readFile(page));
    std::string line;
    bool inCode = false;
    while (std::getline(lines, line)) {
        if (line.rfind("```", 0) == 0) inCode = !inCode;
        if (inCode || line.empty() || line[0] != '#') continue;
        size_t text = line.find_first_not_of('#');
        if (text == std::string::npos || line[text] != ' ') continue;
        out.insert(slug(line.substr(text + 1)));
    }
    return out;
}

TEST(DocsLinks, SlugsFollowTheCodeHostRule) {
    EXPECT_EQ(slug("What `ddError` reports"), "what-dderror-reports");
    EXPECT_EQ(slug("1. Display context, queries and error number"),
              "1-display-context-queries-and-error-number");
}

TEST(DocsLinks, EveryRelativeLinkAndAnchorResolves) {
    std::regex link(R"(\]\(([^)\s]*)\))");
    int checked = 0;
    for (const auto& entry : fs::directory_iterator(kDocs)) {
        const fs::path page = entry.path();
        if (page.extension() != ".md") continue;
        std::string text = readFile(page);
        for (std::sregex_iterator m(text.begin(), text.end(), link), end; m != end; ++m) {
            std::string target = (*m)[1];
            if (target.rfind("http", 0) == 0 || target.rfind("mailto:", 0) == 0) continue;
            std::string file = target.substr(0, target.find('#'));
            std::string anchor =
                target.find('#') == std::string::npos ? "" : target.substr(target.find('#') + 1);
            fs::path linked = file.empty() ? page : page.parent_path() / file;
            SCOPED_TRACE(page.filename().string() + " -> " + target);
            ++checked;
            ASSERT_TRUE(fs::exists(linked));
            if (!anchor.empty()) {
                EXPECT_TRUE(anchors(linked).count(anchor)) << "no heading for #" << anchor;
            }
        }
    }
    EXPECT_GE(checked, 10);
}

TEST(DocsLinks, EveryPictureIsShownByAPage) {
    std::regex image(R"(!\[[^\]]*\]\(images/([^)\s#]*)\))");
    std::set<std::string> shown;
    for (const auto& entry : fs::directory_iterator(kDocs)) {
        if (entry.path().extension() != ".md") continue;
        std::string text = readFile(entry.path());
        for (std::sregex_iterator m(text.begin(), text.end(), image), end; m != end; ++m)
            shown.insert((*m)[1]);
    }
    int pictures = 0;
    for (const auto& entry : fs::directory_iterator(kDocs / "images")) {
        ++pictures;
        EXPECT_TRUE(shown.count(entry.path().filename().string()))
            << "no page shows images/" << entry.path().filename().string();
    }
    EXPECT_GE(pictures, 1);
}

} // namespace
