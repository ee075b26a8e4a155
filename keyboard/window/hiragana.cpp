#include "hiragana.h"

#include "failurereport.h"
#include "frameextents.h"
#include "keybutton.h"
#include "keyfonts.h"
#include "startupgeometry.h"
#include "textbox.h"
#include "transfertext.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>
#include <QWindow>

#include <algorithm>

namespace hiragana {

namespace {
constexpr std::uint32_t WindowBackground = 0x00E0E0E0;
constexpr QSize ClientArea(TwipsToPixels(11880), TwipsToPixels(8190));
constexpr QRect Text1Geometry(TwipsToPixels(1080), TwipsToPixels(120), TwipsToPixels(8655),
                              TwipsToPixels(2055));

// The keys in tab order, which is the order of their tab indices.
std::vector<const KeyRecord *> keysInTabOrder()
{
    std::vector<const KeyRecord *> keys;
    for (const KeyRecord &key : KeyTable)
        keys.push_back(&key);
    std::ranges::stable_sort(keys, {}, &KeyRecord::tabIndex);
    return keys;
}
} // namespace

Hiragana::Hiragana(Hiramod &state, CharacterCollection &characters, QWidget *parent)
    : QMainWindow(parent)
    , m_state(state)
    , m_characters(characters)
    , m_client(new QWidget(this))
    , m_text1(createTextBox())
    , m_editor(*m_text1)
    , m_engine(m_state, m_editor, m_speaker)
    , m_actions(m_engine, m_state, m_speaker)
{
    m_frameExtents = std::make_unique<FrameExtentsRequest>(*this);
    setObjectName(QStringLiteral("Hiragana"));
    setWindowTitle(QStringLiteral("Hiragana"));

    QPalette background = m_client->palette();
    background.setColor(QPalette::Window, ColourFromWindowsValue(WindowBackground));
    m_client->setPalette(background);
    m_client->setAutoFillBackground(true);
    setCentralWidget(m_client);

    createKeys();
    createMenus();
    resize(designSize());
    m_text1->setFocus();
    connect(qApp, &QApplication::focusChanged, this, &Hiragana::followFocus);
}

Hiragana::~Hiragana()
{
    // The controls go after this object's members: no focus change may reach it any more.
    disconnect(qApp, &QApplication::focusChanged, this, nullptr);
}

TextBox *Hiragana::createTextBox()
{
    // Before any control asks for a font: the text box's face looked up without the stand-ins
    // would stay in the font cache as whatever face fontconfig offers in its place.
    InstallFontSubstitutes();
    auto *text1 = new TextBox(m_client);
    text1->setObjectName(QStringLiteral("Text1"));
    text1->setGeometry(Text1Geometry);
    text1->setFont(TextBoxFont());
    text1->setAccessibleName(QStringLiteral("ぶんしょう"));
    return text1;
}

void Hiragana::createKeys()
{
    QStyle *faceStyle = QStyleFactory::create(QStringLiteral("Windows"));
    if (faceStyle)
        faceStyle->setParent(this);
    else
        faceStyle = style();

    QWidget *previous = m_text1;
    for (const KeyRecord *key : keysInTabOrder()) {
        auto *button = new KeyButton(*key, *faceStyle, m_client);
        connect(button, &QPushButton::clicked, this, [this, key] { clickKey(*key); });
        setTabOrder(previous, button);
        previous = button;
        m_keys.push_back(button);
    }
}

void Hiragana::createMenus()
{
    // The captions are Japanese: the keyboard's face, at the menu's own size, shows them without a
    // search through the system's fonts for one that has kana.
    QFont menuFont = menuBar()->font();
    menuFont.setFamilies({KeyFontFamily});
    KeepToStandIn(menuFont);
    menuBar()->setFont(menuFont);

    QMenu *itemFile = menuBar()->addMenu(QStringLiteral("ファイル"));
    itemFile->setObjectName(QStringLiteral("ItemFile"));
    itemFile->setFont(menuFont);
    QAction *itemEnd = itemFile->addAction(QStringLiteral("終了(&Q)"));
    itemEnd->setObjectName(QStringLiteral("ItemEnd"));
    itemEnd->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(itemEnd, &QAction::triggered, this, [] { QCoreApplication::exit(EXIT_SUCCESS); });

    QMenu *itemTenso = menuBar()->addMenu(QStringLiteral("転送先"));
    itemTenso->setObjectName(QStringLiteral("ItemTenso"));
    itemTenso->setFont(menuFont);
    QAction *itemWord = itemTenso->addAction(QStringLiteral("Microsoft Word(&W)"));
    itemWord->setObjectName(QStringLiteral("ItemWord"));
    itemWord->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    connect(itemWord, &QAction::triggered, this, [this] { m_state.TargetTitle = MicrosoftWordTitle; });
    QAction *itemFumi = itemTenso->addAction(QStringLiteral("ふみばこメール(&R)"));
    itemFumi->setObjectName(QStringLiteral("ItemFumi"));
    itemFumi->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    connect(itemFumi, &QAction::triggered, this, [this] { m_state.TargetTitle = MailWriterTitle; });
}

QSize Hiragana::designSize() const
{
    return {ClientArea.width(), ClientArea.height() + menuBar()->sizeHint().height()};
}

void Hiragana::setTransfer(std::function<void()> transfer)
{
    m_actions.setTransfer(std::move(transfer));
}

void Hiragana::Load()
{
    const std::optional<QMargins> frame = m_frameExtents->Answer();
    const StartUpGeometry geometry =
        ComputeStartUpGeometry(screen()->geometry(), designSize(), frame.value_or(QMargins()));
    // The window is placed by its inside, so no window manager's idea of gravity can shift it.
    setGeometry(QRect(geometry.client.topLeft(), designSize()));
    m_state.ReplaceLast = 0;
    m_state.VoicedPending = 0;
    m_state.TargetTitle = MicrosoftWordTitle;
    resize(geometry.client.size());
    Character &character = SetUpCharacter(m_characters, float(geometry.frame.left() * TwipsPerPixel),
                                          float(geometry.frame.top() * TwipsPerPixel));
    m_speaker.setCharacter(character);

    m_correctAfterExpose = !frame;
    if (m_correctAfterExpose)
        windowHandle()->installEventFilter(this);
}

void Hiragana::placeOnScreen(const QMargins &frame)
{
    const StartUpGeometry geometry = ComputeStartUpGeometry(screen()->geometry(), designSize(), frame);
    setGeometry(geometry.client);
}

bool Hiragana::eventFilter(QObject *watched, QEvent *event)
{
    if (m_correctAfterExpose && watched == windowHandle() && event->type() == QEvent::Expose) {
        m_correctAfterExpose = false;
        windowHandle()->removeEventFilter(this);
        const QMargins frame = windowHandle()->frameMargins();
        if (!frame.isNull())
            placeOnScreen(frame);
    }
    return QMainWindow::eventFilter(watched, event);
}

void Hiragana::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange)
        followFocus();
    QMainWindow::changeEvent(event);
}

// The colour follows the control that holds the window's focus. A menu opening or the window
// losing activation to another application moves no control's focus, so no colour changes.
void Hiragana::followFocus()
{
    QWidget *holder = focusWidget();
    if (holder == menuBar())
        return;
    auto *key = qobject_cast<KeyButton *>(holder);
    if (key == m_focusColoured)
        return;
    if (m_focusColoured)
        m_focusColoured->showFocusColour(false);
    m_focusColoured = key;
    if (key)
        key->showFocusColour(true);
}

void Hiragana::clickKey(const KeyRecord &key)
{
    RunHandler(this, [this, &key] { m_actions.Click(key); });
}

} // namespace hiragana
