#include "checks.h"
#include "solver/maker_site.h"

#include <algorithm>
#include <string>

namespace fuzz_checks {

namespace {

using maker_site::Page;

std::string escaped(const std::string& s) {
    std::string out;
    for (const char c : s) {
        if (c == '&') {
            out += "&amp;";
        } else if (c == '<') {
            out += "&lt;";
        } else if (c == '>') {
            out += "&gt;";
        } else if (c == '"') {
            out += "&quot;";
        } else {
            out += c;
        }
    }
    return out;
}

bool contains(const std::string& text, const std::string& piece) {
    return text.find(piece) != std::string::npos;
}

bool isPosition(const std::string& s) {
    std::string sorted = s;
    std::sort(sorted.begin(), sorted.end());
    return sorted == "012345678";
}

// What the parsed page says about the address, page by page kind.
std::string checkParsed(const std::string& address) {
    const Page page = maker_site::parse(address);
    const std::string html = maker_site::html(page, "page:image");
    if (!contains(html, "<html>") || !contains(html, "</html>")) return "html is not a page";
    switch (page.kind) {
        case Page::kNoSolution:
            if (address != maker_site::noSolutionAddress())
                return "no-solution page for another address";
            if (!contains(html, "问题无解")) return "no-solution page without its title";
            return {};
        case Page::kBoard: {
            if (!isPosition(page.position)) return "board page with a position that is none";
            if (page.picture < 1 || page.picture > 4)
                return "board page with picture " + std::to_string(page.picture);
            if (page.step < 0 || page.step > 99999)
                return "board page with step " + std::to_string(page.step);
            // The address is exactly one the program builds for this page. The numbered picture
            // of the big board (5) reads as picture 1.
            const bool asLoad = page.step == 0 && page.picture == 1 &&
                                address == maker_site::loadAddress(page.position);
            const bool asStep =
                address == maker_site::stepAddress(page.step, page.position, page.picture) ||
                (page.picture == 1 &&
                 address == maker_site::stepAddress(page.step, page.position, 5));
            if (!asLoad && !asStep) return "board page for an address that is not rebuilt from it";
            const std::string title =
                page.step == 0 ? "开始局面" : "第" + std::to_string(page.step) + "步";
            if (!contains(html, "<h1>" + title + "</h1>")) return "board page without its title";
            if (!contains(html, "<img src=\"page:image\">")) return "board page without its image";
            if (!contains(html, "局面 " + page.position)) return "board page without its position";
            return {};
        }
        case Page::kError:
            if (page.reason.empty()) return "error page without a reason";
            if (!contains(html, "无法显示此页")) return "error page without its title";
            if (!contains(html, escaped(page.reason))) return "error page without its reason";
            return {};
    }
    return "page of no kind";
}

// Addresses built the way the program builds them, from the input's bytes, parse back to the
// page they were built for.
std::string checkBuilt(const std::uint8_t* data, std::size_t size) {
    std::string position = "012345678";
    for (std::size_t i = 0; i < size && i < 16; ++i) {
        std::swap(position[i % 9], position[data[i] % 9]);
    }
    const int step = size >= 2 ? (data[0] << 8 | data[1]) % 100000 : static_cast<int>(size);
    const int picture = size >= 3 ? 1 + data[2] % 5 : 1;
    const Page load = maker_site::parse(maker_site::loadAddress(position));
    if (load.kind != Page::kBoard || load.step != 0 || load.position != position ||
        load.picture != 1) {
        return "load address of " + position + " does not parse back";
    }
    const Page shown = maker_site::parse(maker_site::stepAddress(step, position, picture));
    if (shown.kind != Page::kBoard || shown.step != step || shown.position != position ||
        shown.picture != (picture == 5 ? 1 : picture)) {
        return "step address " + maker_site::stepAddress(step, position, picture) +
               " does not parse back";
    }
    return {};
}

// Text that reaches the page is escaped, whatever it is.
std::string checkEscaping(const std::string& text) {
    Page page;
    page.kind = Page::kError;
    page.reason = text;
    const std::string html = maker_site::html(page, text);
    if (!contains(html, escaped(text))) return "reason not escaped";
    if (text.find_first_of("<>\"&") != std::string::npos &&
        contains(html, "<p class=\"note\">" + text + "</p>")) {
        return "reason shown unescaped";
    }
    page.kind = Page::kBoard;
    page.position = text;
    const std::string board = maker_site::html(page, text);
    if (!contains(board, "<img src=\"" + escaped(text) + "\">")) return "image name not escaped";
    if (!contains(board, "局面 " + escaped(text) + "</p>")) return "position not escaped";
    return {};
}

}  // namespace

std::string site(const std::uint8_t* data, std::size_t size) {
    const std::string address(reinterpret_cast<const char*>(data), size);
    for (const std::string& failure :
         {checkParsed(address), checkBuilt(data, size), checkEscaping(address)}) {
        if (!failure.empty()) return failure + " (address \"" + address + "\")";
    }
    return {};
}

}  // namespace fuzz_checks
