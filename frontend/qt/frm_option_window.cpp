#include "frontend/qt/frm_option_window.h"

#include "frontend/qt/form1_window.h"
#include "frontend/qt/image_control.h"
#include "frontend/qt/twips.h"
#include "settings/frm_option.h"

#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

namespace {

using namespace frm_option_layout;

QLabel* blueLabel(QWidget* parent, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setStyleSheet("color: #0000FF;");
    return label;
}

// A label sized to its text.
QLabel* blueLabelAt(QWidget* parent, const QString& text, const TwipsRect& at) {
    QLabel* label = blueLabel(parent, text);
    label->move(twips::toPx(at.Left), twips::toPx(at.Top));
    label->adjustSize();
    return label;
}

void place(QWidget* panel, const Frame& at) {
    panel->move(twips::toPx(at.Left), twips::toPx(at.Top));
    panel->setVisible(at.Left != kOutOfView);
}

void setText(QLabel* label, const std::string& text) {
    label->setText(qt_front::qs(text));
    label->adjustSize();
}

}  // namespace

FrmOptionWindow::FrmOptionWindow(FrmOption& core, Form1Window& main)
    : QDialog(&main), core_(core), main_(main) {
    using qt_front::qs;
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    // The client area is fixed; the frame around it is the desktop's.
    setFixedSize(twips::toPx(kClientWidth), twips::toPx(kClientHeight));

    PicAbout = new QWidget(this);
    PicAbout->setGeometry(twips::toRect(kPicAbout));
    Image1 = new ImageControl(PicAbout);
    Image1->setGeometry(twips::toRect(kImage1));
    Image1->setPixmap(programIcon().pixmap(kIconSize, kIconSize));
    LblAbout = blueLabel(PicAbout, qs(aboutTitle()));
    LblAbout->setGeometry(twips::toRect(kLblAbout));
    Image5 = new ImageControl(PicAbout);
    Image5->setGeometry(twips::toRect(kImage5));
    Image5->setPixmap(QIcon(":/icons/mail.png").pixmap(kIconSize, kIconSize));
    Image5->setCursor(Qt::PointingHandCursor);
    Image5->setToolTip(qs(contactLine()));
    connect(Image5, &ImageControl::clicked, this,
            [this] { main_.forward([this] { core_.Image5_Click(); }); });
    Label2 = new QLabel(qs(contactLine()), PicAbout);
    Label2->setGeometry(twips::toRect(kLabel2));
    Label2->setAlignment(Qt::AlignCenter);
    Label3 = new QLabel(QString::fromUtf8(kMakerLine), PicAbout);
    Label3->setGeometry(twips::toRect(kLabel3));
    Label3->setAlignment(Qt::AlignCenter);
    auto* Image3 = new QFrame(PicAbout);
    Image3->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    Image3->setGeometry(twips::toRect(kImage3));
    Label1 = blueLabelAt(PicAbout, QString::fromUtf8(kChampion), kLabel1);
    Lbl33Champion = blueLabelAt(PicAbout, QString(), kLbl33Champion);
    Lbl44Champion = blueLabelAt(PicAbout, QString(), kLbl44Champion);
    CmdOK2 = new QPushButton(QString::fromUtf8(kOK), PicAbout);
    CmdOK2->setGeometry(twips::toRect(kCmdOK2));
    connect(CmdOK2, &QPushButton::clicked, this,
            [this] { main_.forward([this] { core_.CmdOK2_Click(); }); });

    PicOption = new QWidget(this);
    PicOption->setGeometry(twips::toRect(kPicOption));
    for (int k = 0; k < 4; ++k) {
        ImgBG[k] = new ImageControl(PicOption, k);
        ImgBG[k]->setGeometry(twips::toRect(kImgBG[k]));
        ImgBG[k]->setCursor(Qt::PointingHandCursor);
        connect(ImgBG[k], &ImageControl::clicked, this, [this](int index) {
            main_.forward([&] { core_.ImgBG_Click(static_cast<std::int16_t>(index)); });
        });
    }
    core_.onUnload = [this] { accept(); };
    sync();
}

FrmOptionWindow::~FrmOptionWindow() {
    core_.onUnload = nullptr;
}

void FrmOptionWindow::sync() {
    setWindowTitle(qt_front::qs(core_.Caption));
    place(PicAbout, core_.PicAbout);
    place(PicOption, core_.PicOption);
    setText(Lbl33Champion, core_.Lbl33Champion);
    setText(Lbl44Champion, core_.Lbl44Champion);
    for (int k = 0; k < 4; ++k) {
        if (core_.ImgBG[k] == shownPictures_[k]) continue;
        if (core_.ImgBG[k] != 0)
            ImgBG[k]->setStretchedPicture(main_.ImageList1().ListImage(core_.ImgBG[k]));
        shownPictures_[k] = core_.ImgBG[k];
    }
}
