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

QImage drawBoard(const std::string& position, const QImage& picture);
PageView::Rendered render(const QString& address, const PictureSource& pictures);

}  // namespace site_pages
