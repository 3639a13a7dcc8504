#include "frontend/web/frm_auto_best_page.h"

#include "solver/maker_site.h"

namespace {

using namespace frm_auto_best_layout;

int button(int parent, const char* name, const char* caption, const TwipsRect& at) {
    const int id = web::newId();
    web::create(id, parent, "button", at, name);
    web::setText(id, caption);
    return id;
}

}  // namespace

FrmAutoBestPage::FrmAutoBestPage(frmAutoBest& core, Form1Page& main) : core_(core), main_(main) {
    web::openDialog(id(), "frmAutoBest", core_.Caption, kClientWidth, kClientHeight);
    WebBrowser1_ = web::newId();
    web::create(WebBrowser1_, id(), "page", kWebBrowser1, "WebBrowser1");
    CmdDo_ = button(id(), "CmdDo", kCmdDoCaption, kCmdDo);
    main_.onClick(CmdDo_, id(), [this] { core_.CmdDo_Click(); });
    txtResult_ = web::newId();
    web::create(txtResult_, id(), "textbox", kTxtResult, "txtResult");
    CmdPrior_ = button(id(), "CmdPrior", kCmdPriorCaption, kCmdPrior);
    main_.onClick(CmdPrior_, id(), [this] { core_.CmdPrior_Click(); });
    CmdNext_ = button(id(), "CmdNext", kCmdNextCaption, kCmdNext);
    main_.onClick(CmdNext_, id(), [this] { core_.CmdNext_Click(); });
    core_.onUnload = [this] { done = true; };
    sync();
}

FrmAutoBestPage::~FrmAutoBestPage() {
    core_.onUnload = nullptr;
    web::closeDialog(id());
}

void FrmAutoBestPage::sync() {
    web::setTitle(id(), core_.Caption);
    if (core_.WebBrowser1.LocationURL != shownAddress_) showPage(core_.WebBrowser1.LocationURL);
    web::setText(txtResult_, core_.txtResult);  // unchanged text is left alone, and its selection
    web::setEnabled(CmdDo_, core_.CmdDo.Enabled);
    web::setEnabled(CmdPrior_, core_.CmdPrior.Enabled);
    web::setEnabled(CmdNext_, core_.CmdNext.Enabled);
}

void FrmAutoBestPage::showPage(const std::string& address) {
    namespace style = maker_site::page_style;
    shownAddress_ = address;
    const maker_site::Page page = maker_site::parse(address);
    const int side = maker_site::boardSide();
    web::showPage(WebBrowser1_, maker_site::html(page, "board"), side);
    if (page.kind != maker_site::Page::kBoard) return;
    web::pageFill(WebBrowser1_, 0, 0, side, style::kBoardFrame);
    const int picture = core_.pagePicture(page);
    for (const maker_site::BoardCell& cell : maker_site::boardCells(page.position)) {
        if (cell.blank) {
            web::pageFill(WebBrowser1_, cell.x, cell.y, cell.size, style::kBlank);
        } else {
            web::pagePicture(WebBrowser1_, picture, cell.sx, cell.sy, cell.size, cell.x, cell.y);
        }
    }
}
