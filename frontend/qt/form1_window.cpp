#include "frontend/qt/form1_window.h"

#include "frontend/qt/frm_auto_best_window.h"
#include "frontend/qt/frm_option_window.h"
#include "frontend/qt/picture_box.h"
#include "frontend/qt/twips.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include <cstdio>

namespace {

using namespace form1_layout;

void place(QFrame* frame, const Frame& at) {
    frame->move(twips::toPx(at.Left), twips::toPx(at.Top));
    // Beyond the window's edge anyway; hidden as well so it takes no click and no focus.
    frame->setVisible(at.Left != kOutOfView);
}

}  // namespace

QIcon programIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 128, 256})
        icon.addFile(QString(":/icons/tessle-%1.png").arg(size));
    return icon;
}

Form1Window::Form1Window(board::Random random, QWidget* parent)
    : QMainWindow(parent),
      ImageList1_(qApp ? qApp->devicePixelRatio() : 1.0),
      core_(*this, std::move(random)),
      // Queued to this window's thread, and dropped if the window has gone by then.
      searches_([this](SearchThreads::Task task) {
          QMetaObject::invokeMethod(
              this, [this, task = std::move(task)] { forward(task); }, Qt::QueuedConnection);
      }) {
    foreground = [this] { return isActiveWindow(); };
    buildWindow();
    buildMenus();
    core_.Form_Load();
    sync();
}

Form1Window::~Form1Window() = default;

void Form1Window::buildWindow() {
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowIcon(programIcon());

    auto* client = new QWidget(this);
    const int boardBottom = kPicture1.Height + 50 + kPic33Height;
    client->setFixedSize(twips::toPx(kClientWidth), twips::toPx(boardBottom));
    setCentralWidget(client);

    Picture1 = new QWidget(client);
    Picture1->setGeometry(twips::toRect(kPicture1));
    PicStep_ = new PictureBox(Picture1);
    PicStep_->setGeometry(twips::toRect(kPicStep));
    PicStep_->setBackColor(0x000000);
    Command1 = new QPushButton(Picture1);
    Command1->setGeometry(twips::toRect(kCommand1));
    Command1->setIcon(QIcon(":/icons/smiley.png"));
    Command1->setIconSize(QSize(kSmileySize, kSmileySize));
    Command1->setToolTip(QString::fromUtf8(kNewGameTip));
    Command1->setFocusPolicy(Qt::NoFocus);
    connect(Command1, &QPushButton::clicked, this,
            [this] { forward([this] { core_.Command1_Click(); }); });
    PicTime_ = new PictureBox(Picture1);
    PicTime_->setGeometry(twips::toRect(kPicTime));
    PicTime_->setBackColor(0x000000);

    Pic33 = new QFrame(client);
    Pic33->resize(twips::toPx(kFrameWidth), twips::toPx(kPic33Height));
    for (int i = 0; i < 9; ++i) {
        PicG1[i] = new PictureBox(Pic33, i);
        PicG1[i]->setGeometry(twips::toRect(tileRect(board::kGame33, i)));
        connect(PicG1[i], &PictureBox::clicked, this,
                [this](int index) { forward([&] { core_.PicG1_Click(index); }); });
    }
    Pic44 = new QFrame(client);
    Pic44->resize(twips::toPx(kFrameWidth), twips::toPx(kPic44Height));
    for (int i = 0; i < 16; ++i) {
        PicG2[i] = new PictureBox(Pic44, i);
        PicG2[i]->setGeometry(twips::toRect(tileRect(board::kGame44, i)));
        connect(PicG2[i], &PictureBox::clicked, this,
                [this](int index) { forward([&] { core_.PicG2_Click(index); }); });
    }

    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, [this] { forward([this] { core_.Timer1_Timer(); }); });

    StatusBar1 = new QLabel(QString::fromUtf8(kStatusText));
    QFont song;
    // Debian has no SimSun: the nearest serif CJK faces stand in.
    song.setFamilies({kStatusFontLatin, QString::fromUtf8(kStatusFont), "Noto Serif CJK SC",
                      "AR PL UMing CN", "Noto Sans CJK SC", "WenQuanYi Micro Hei"});
    song.setPointSize(kStatusPointSize);
    StatusBar1->setFont(song);
    statusBar()->addWidget(StatusBar1, 1);
    statusBar()->setSizeGripEnabled(false);
    statusBar()->setFixedHeight(twips::toPx(kClientHeight - boardBottom));
}

void Form1Window::buildMenus() {
    std::map<int, QMenu*> menus;
    for (const MenuItem& item : kMenuBar) {
        const QString caption = QString::fromUtf8(item.caption);
        QMenu* parent = item.parent ? menus.at(item.parent) : nullptr;
        auto run = [this, command = item.command] {
            if (command) forward([&] { (core_.*command)(); });
        };
        QAction* action = nullptr;
        if (hasEntries(item.id)) {
            QMenu* menu = parent ? parent->addMenu(caption) : menuBar()->addMenu(caption);
            connect(menu, &QMenu::aboutToShow, this, run);  // refreshes its entries
            menus[item.id] = menu;
            action = menu->menuAction();
        } else if (caption == "-") {
            action = parent->addSeparator();
        } else {
            action = parent ? parent->addAction(caption) : menuBar()->addAction(caption);
            action->setCheckable(item.tickable);
            connect(action, &QAction::triggered, this, run);
        }
        menuActions[item.id] = action;
    }
}

QAction* Form1Window::action(MenuEntry Form1::*entry) const {
    for (const MenuItem& item : kMenuBar)
        if (item.entry == entry) return menuActions.at(item.id);
    return nullptr;
}

PictureBox* Form1Window::tile(int gameType, int cell) const {
    if (gameType == board::kGame44) return cell >= 0 && cell < 16 ? PicG2[cell] : nullptr;
    return cell >= 0 && cell < 9 ? PicG1[cell] : nullptr;
}

// ---- Drawing what the rules say ----

void Form1Window::sync() {
    setWindowTitle(QString::fromUtf8(core_.Caption.c_str()));
    place(Pic33, core_.Pic33);
    place(Pic44, core_.Pic44);
    syncTiles(board::kGame33);
    syncTiles(board::kGame44);
    for (const MenuItem& item : kMenuBar) {
        QAction* action = menuActions.at(item.id);
        const MenuEntry& state = core_.*item.entry;
        action->setEnabled(state.Enabled);
        if (action->isCheckable()) action->setChecked(state.Checked);
    }
}

void Form1Window::syncTiles(int gameType) {
    for (const int cell : shownTiles_.changed(core_, gameType)) {
        const TilePicture& want = core_.tile(gameType, cell);
        PictureBox* surface = tile(gameType, cell);
        if (want.empty()) {
            surface->setPicture(QImage());
        } else {
            surface->paintPicture(ImageList1_.ListImage(want.picture), want.sx, want.sy, want.w,
                                  want.h);
        }
        if (core_.hinted(gameType, cell)) drawHintMark(*surface);
    }
}

// ---- Frontend ----

int Form1Window::MsgBox(const std::string& prompt, int style, const std::string& title) {
    return qt_front::showMessageBox(prompt, style, title);
}

void Form1Window::runDialog(QDialog& dialog) {
    dialog.exec();
}

void Form1Window::OpenAddress(const std::string& address) {
    QDesktopServices::openUrl(QUrl(qt_front::qs(address)));
}

template class ToolkitFrontend<Form1Window>;

DrawingSurface& Form1Window::PicStep() {
    return *PicStep_;
}
DrawingSurface& Form1Window::PicTime() {
    return *PicTime_;
}
int Form1Window::TileInnerWidth(int gameType) {
    return tile(gameType, 0)->innerWidth();
}
int Form1Window::TileInnerHeight(int gameType) {
    return tile(gameType, 0)->innerHeight();
}
void Form1Window::EnableTimer1(bool enabled) {
    if (enabled) {
        Timer1->start();
    } else {
        Timer1->stop();
    }
}
bool Form1Window::IsForeground() {
    return foreground();
}
void Form1Window::Unload() {
    close();
}

void Form1Window::LogError(const std::string& text) {
    std::fprintf(stderr, "tessle: %s\n", text.c_str());
}

void Form1Window::SearchHint(const optimal::Position& position,
                             std::shared_ptr<std::atomic<bool>> cancel,
                             std::function<void(const optimal::Answer&)> found) {
    searches_.start(position, std::move(cancel), std::move(found));
}

void Form1Window::PrepareHints() {
    searches_.prepare();
}

void Form1Window::endSession() {
    forward([this] { core_.EndSession(); });
    close();
    QCoreApplication::exit(0);
}

// ---- Window events ----

void Form1Window::closeEvent(QCloseEvent* event) {
    core_.Form_Unload();
    event->accept();  // closing always proceeds
}

void Form1Window::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (centred_) return;
    centred_ = true;
    setFixedSize(sizeHint());
    centre();
    // The window manager frames the window only after it is mapped: centre again, once, as soon
    // as the frame is known (looked for during the first half second).
    auto* wait = new QTimer(this);
    wait->setInterval(20);
    connect(wait, &QTimer::timeout, this, [this, wait, tries = 0]() mutable {
        const bool framed = windowHandle() && !windowHandle()->frameMargins().isNull();
        if (framed) centre();
        if (framed || ++tries >= 25) wait->deleteLater();
    });
    wait->start();
}

// Modal windows, boxes and open menus take the keys themselves: this sees only the main
// window's own.
void Form1Window::keyPressEvent(QKeyEvent* event) {
    int code = 0;
    switch (event->key()) {
        case Qt::Key_Left:
            code = keys::kLeft;
            break;
        case Qt::Key_Up:
            code = keys::kUp;
            break;
        case Qt::Key_Right:
            code = keys::kRight;
            break;
        case Qt::Key_Down:
            code = keys::kDown;
            break;
        case Qt::Key_H:
            code = keys::kH;
            break;
        default:
            break;
    }
    const Qt::KeyboardModifiers chords = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if (code == 0 || (event->modifiers() & chords)) {
        QMainWindow::keyPressEvent(event);
        return;
    }
    forward([&] { core_.Form_KeyDown(code); });
}

// The whole window, frame included, sits in the middle of the screen.
void Form1Window::centre() {
    const QScreen* screen = this->screen();
    if (!screen) return;
    const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    const QSize outer = size().grownBy(frame);
    const QPoint topLeft =
        screen->availableGeometry().center() - QPoint(outer.width() / 2, outer.height() / 2);
    move(topLeft);
}
