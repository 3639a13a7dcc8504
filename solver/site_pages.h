#pragma once

#include "platform/page_view.h"

#include <functional>

class QImage;

// Renders the maker's pages inside the program: the board of a position drawn with the tiles of
// the picture in play, the blank empty.
namespace site_pages {

using PictureSource = std::function<const QImage&(int picture)>;

// Tile size on the page and in the game: a 3 x 3 tile surface's inner size.
constexpr int kTile = 69;
constexpr int kGap = 3;

QImage drawBoard(const std::string& position, const QImage& picture);
PageView::Rendered render(const QString& address, const PictureSource& pictures);

}  // namespace site_pages
