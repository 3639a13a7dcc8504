#pragma once

#include "frontend/qt/page_view.h"
#include "solver/maker_site.h"

#include <functional>
#include <string>

class QImage;

// Draws the maker's pages inside the program: the board of a position cut from a picture, the
// blank empty.
namespace site_pages {

// The picture a page is drawn with.
using PictureSource = std::function<const QImage&(const maker_site::Page& page)>;

// Tile size on the page and in the game: a 3 x 3 tile surface's inner size.
constexpr int kTile = 69;
constexpr int kGap = 3;

QImage drawBoard(const std::string& position, const QImage& picture);
PageView::Rendered render(const QString& address, const PictureSource& pictures);

}  // namespace site_pages
