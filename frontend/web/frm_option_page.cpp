#include "frontend/web/frm_option_page.h"

namespace {

using namespace frm_option_layout;

int label(int parent, const TwipsRect& at, const char* name, const std::string& text, bool blue) {
    const int id = web::newId();
    web::create(id, parent, "label", at, name);
    web::setText(id, text);
    if (blue) web::setClass(id, "blue", true);
    return id;
}

// A label sized to its text.
int labelAt(int parent, const TwipsRect& at, const char* name, const std::string& text) {
    return label(parent, {at.Left, at.Top, -15, -15}, name, text, true);
}

}  // namespace

FrmOptionPage::FrmOptionPage(FrmOption& core, Form1Page& main) : core_(core), main_(main) {
    web::openDialog(id(), "FrmOption", core_.Caption, kClientWidth, kClientHeight);

    PicAbout_ = web::newId();
    web::create(PicAbout_, id(), "panel", kPicAbout, "PicAbout");
    const int Image1 = web::newId();
    web::create(Image1, PicAbout_, "image", kImage1, "Image1");
    web::setImage(Image1, "tessle");
    label(PicAbout_, kLblAbout, "LblAbout", aboutTitle(), true);
    const int Image5 = web::newId();
    web::create(Image5, PicAbout_, "image", kImage5, "Image5");
    web::setImage(Image5, "mail");
    web::setTip(Image5, contactLine());
    web::setClass(Image5, "link", true);
    main_.onClick(Image5, id(), [this] { core_.Image5_Click(); });
    web::setClass(label(PicAbout_, kLabel2, "Label2", contactLine(), false), "centred", true);
    web::setClass(label(PicAbout_, kLabel3, "Label3", kMakerLine, false), "centred", true);
    const int Image3 = web::newId();
    web::create(Image3, PicAbout_, "rule", kImage3, "Image3");
    labelAt(PicAbout_, kLabel1, "Label1", kChampion);
    Lbl33Champion_ = labelAt(PicAbout_, kLbl33Champion, "Lbl33Champion", "");
    Lbl44Champion_ = labelAt(PicAbout_, kLbl44Champion, "Lbl44Champion", "");
    const int CmdOK2 = web::newId();
    web::create(CmdOK2, PicAbout_, "button", kCmdOK2, "CmdOK2");
    web::setText(CmdOK2, kOK);
    main_.onClick(CmdOK2, id(), [this] { core_.CmdOK2_Click(); });

    PicOption_ = web::newId();
    web::create(PicOption_, id(), "panel", kPicOption, "PicOption");
    for (int k = 0; k < 4; ++k) {
        ImgBG_[k] = web::newId();
        web::create(ImgBG_[k], PicOption_, "image", kImgBG[k], "ImgBG(" + std::to_string(k) + ")");
        web::setClass(ImgBG_[k], "link", true);
        main_.onClick(ImgBG_[k], id(),
                      [this, k] { core_.ImgBG_Click(static_cast<std::int16_t>(k)); });
    }
    core_.onUnload = [this] { done = true; };
    sync();
}

FrmOptionPage::~FrmOptionPage() {
    core_.onUnload = nullptr;
    web::closeDialog(id());
}

void FrmOptionPage::sync() {
    web::setTitle(id(), core_.Caption);
    web::place(PicAbout_, core_.PicAbout);
    web::place(PicOption_, core_.PicOption);
    web::setText(Lbl33Champion_, core_.Lbl33Champion);
    web::setText(Lbl44Champion_, core_.Lbl44Champion);
    for (int k = 0; k < 4; ++k) {
        if (core_.ImgBG[k] == shownPictures_[k]) continue;
        if (core_.ImgBG[k] != 0) web::setPicture(ImgBG_[k], core_.ImgBG[k]);
        shownPictures_[k] = core_.ImgBG[k];
    }
}
