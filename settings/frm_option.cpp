#include "settings/frm_option.h"

#include "game/app_info.h"
#include "game/form1.h"
#include "platform/image_control.h"
#include "platform/shell.h"
#include "platform/twips.h"
#include "settings/settings_store.h"

#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

namespace {

constexpr int kShown = 0;
constexpr int kHidden = 6000;

QLabel* blueLabel(QWidget* parent, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setStyleSheet("color: #0000FF;");
    return label;
}

// A label sized to its text, at a position in twips.
QLabel* blueLabelAt(QWidget* parent, const QString& text, int left, int top) {
    QLabel* label = blueLabel(parent, text);
    label->move(twips::toPx(left), twips::toPx(top));
    label->adjustSize();
    return label;
}

void movePanel(QWidget* panel, int left) {
    panel->move(twips::toPx(left), 0);
    panel->setVisible(left == kShown);
}

}  // namespace

FrmOption::FrmOption(Form1& main) : QDialog(&main), main_(main) {
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    Form_Initialize();

    PicAbout = new QWidget(this);
    PicAbout->setGeometry(twips::toRect(0, 0, 3200, 3345));
    Image1 = new ImageControl(PicAbout);
    Image1->setGeometry(twips::toRect(90, 45, 480, 480));
    Image1->setPixmap(programIcon().pixmap(32, 32));
    LblAbout = blueLabel(PicAbout, QString("%1  %2 版").arg(QString::fromUtf8(kAppTitle), "1.0"));
    LblAbout->setGeometry(twips::toRect(675, 315, 2445, 285));
    Image5 = new ImageControl(PicAbout);
    Image5->setGeometry(twips::toRect(1200, 720, 480, 480));
    Image5->setPixmap(QIcon(":/icons/mail.png").pixmap(32, 32));
    Image5->setCursor(Qt::PointingHandCursor);
    Image5->setToolTip(QString::fromUtf8(kMakerMail).mid(7));
    connect(Image5, &ImageControl::clicked, this, [this] { Image5_Click(); });
    Label2 = new QLabel(QString::fromUtf8(kMakerMail).mid(7), PicAbout);
    Label2->setGeometry(twips::toRect(540, 1080, 2310, 240));
    Label2->setAlignment(Qt::AlignCenter);
    Label3 = new QLabel(QStringLiteral("KORVANEL 出品"), PicAbout);
    Label3->setGeometry(twips::toRect(495, 1440, 2175, 195));
    Label3->setAlignment(Qt::AlignCenter);
    auto* Image3 = new QFrame(PicAbout);
    Image3->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    Image3->setGeometry(twips::toRect(45, 1710, 3075, 60));
    Label1 = blueLabelAt(PicAbout, QStringLiteral("冠军："), 315, 1980);
    Lbl33Champion = blueLabelAt(PicAbout, QString(), 630, 2205);
    Lbl44Champion = blueLabelAt(PicAbout, QString(), 630, 2430);
    CmdOK2 = new QPushButton(QStringLiteral("OK"), PicAbout);
    CmdOK2->setGeometry(twips::toRect(2250, 2925, 780, 285));
    connect(CmdOK2, &QPushButton::clicked, this, [this] { CmdOK2_Click(); });

    PicOption = new QWidget(this);
    PicOption->setGeometry(twips::toRect(kHidden, 0, 3200, 3195));
    constexpr int kPlaces[4][2] = {{1710, 1755}, {1710, 180}, {180, 1755}, {180, 180}};
    for (int k = 0; k < 4; ++k) {
        ImgBG[k] = new ImageControl(PicOption, k);
        ImgBG[k]->setGeometry(twips::toRect(kPlaces[k][0], kPlaces[k][1], 1200, 1200));
        ImgBG[k]->setCursor(Qt::PointingHandCursor);
        connect(ImgBG[k], &ImageControl::clicked, this,
                [this](int index) { ImgBG_Click(static_cast<std::int16_t>(index)); });
    }
    movePanel(PicAbout, kShown);
    movePanel(PicOption, kHidden);
}

// The client area is fixed; the frame around it is the desktop's.
void FrmOption::Form_Initialize() {
    setFixedSize(twips::toPx(3210), twips::toPx(3285));
}

void FrmOption::Form_Load() {
    switch (main_.ShowMsg) {
        case 2:
            setWindowTitle("Backdrop");
            ShowBackdrop();
            break;
        case 1:
            setWindowTitle(QStringLiteral("拼图英雄榜"));
            ShowAbout();
            break;
        default:
            setWindowTitle("Abot...");
            ShowAbout();
            break;
    }
}

void FrmOption::ShowAbout() {
    movePanel(PicAbout, kShown);
    movePanel(PicOption, kHidden);
    Lbl33Champion->setText(QStringLiteral("3 X 3 共移动：") + QString::number(main_.MinStep33));
    Lbl33Champion->adjustSize();
    Lbl44Champion->setText(QStringLiteral("4 X 4 共移动：") + QString::number(main_.MinStep44));
    Lbl44Champion->adjustSize();
}

void FrmOption::ShowBackdrop() {
    movePanel(PicAbout, kHidden);
    movePanel(PicOption, kShown);
    for (int i = 1; i <= 4; ++i) ImgBG[i - 1]->setStretchedPicture(main_.ImageList1().ListImage(i));
}

void FrmOption::ImgBG_Click(std::int16_t Index) {
    if (Index < 0 || Index > 3) return;
    main_.PicType = Index + 1;
    if (main_.GameType == 44 && main_.PicType == 1) {
        main_.PicType = 5;
        SaveRegValue(kAppKey, "PType", 1);
    } else {
        SaveRegValue(kAppKey, "PType", main_.PicType);
    }
    main_.GameInit();
    accept();
}

void FrmOption::CmdOK2_Click() {
    accept();
}

void FrmOption::Image5_Click() {
    OpenAddress(QString::fromUtf8(kMakerMail));
}
