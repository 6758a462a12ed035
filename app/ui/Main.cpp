#include "app/ui/Main.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QScreen>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cstdio>
#include <cstring>
#include <thread>

#include "app/Apputil.h"
#include "app/SyncHistory.h"
#include "app/ui/Debug.h"
#include "common/misc/CxDebugUtil.h"
#include "common/misc/CxIniUtil.h"
#include "app/ui/Dump.h"
#include "app/ui/Logo.h"
#include "app/ui/Skins.h"
#include "app/ui/UiSeams.h"
#include "common/misc/CxDateTime.h"
#include "common/misc/CxDebugUtil.h"
#include "common/misc/CxIniUtil.h"
#include "common/misc/wait/CommWaitWindow.h"
#include "common/model/CommAddrMgr.h"
#include "common/oe/CxWab.h"
#include "common/outlook/OlAddr.h"

const int COLUMN_FIELDS[8] = {1, 3, 37, 25, 24, 26, 53, 55};

namespace {

const char* const kColumnCaptions[8] = {"First Name", "Last Name", "Email", "Business Phone",
                                        "Home Phone", "Mobile Phone", "Company", "Title"};
const int kColumnWidths[8] = {80, 80, 100, 100, 80, 80, 80, 80};

const QColor kFormColor(0xE7, 0xE7, 0xE7);  // 15198183

QColor FromColorRef(COLORREF cr) { return QColor(cr & 0xFF, (cr >> 8) & 0xFF, (cr >> 16) & 0xFF); }

QPushButton* MakeButton(QWidget* pParent, const char* szName, const char* szCaption, int x, int y, int w = 80,
                        int h = 27) {
    auto* p = new QPushButton(QString::fromUtf8(szCaption), pParent);
    p->setObjectName(QString::fromLatin1(szName));
    p->setGeometry(x, y, w, h);
    return p;
}

QLabel* MakeLabel(QWidget* pParent, const char* szName, const char* szCaption, int x, int y) {
    auto* p = new QLabel(QString::fromUtf8(szCaption), pParent);
    p->setObjectName(QString::fromLatin1(szName));
    p->move(x, y);
    p->adjustSize();
    return p;
}

QFrame* MakePanel(QWidget* pParent, const char* szName, int x, int y, int w, int h, bool bBevel) {
    auto* p = new QFrame(pParent);
    p->setObjectName(QString::fromLatin1(szName));
    p->setGeometry(x, y, w, h);
    if (bBevel) {
        // Raised inner and lowered outer bevel on money green.
        p->setStyleSheet(QStringLiteral("QFrame#%1 { background: #c0dcc0; border: 2px solid; "
                                        "border-color: #808080 #ffffff #ffffff #808080; }")
                             .arg(p->objectName()));
    }
    return p;
}

// Each row's text colour comes from the form's drawing handler, asked
// before the row is drawn; everything else is drawn the default way.
class ContactRowDelegate : public QStyledItemDelegate {
public:
    ContactRowDelegate(TfmMain* pForm, QObject* pParent) : QStyledItemDelegate(pParent), m_pForm(pForm) {}

protected:
    void initStyleOption(QStyleOptionViewItem* pOption, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(pOption, index);
        const QModelIndex first = index.sibling(index.row(), 0);
        auto* pAddr = reinterpret_cast<CommAddr*>(first.data(Qt::UserRole).value<quintptr>());
        pOption->palette.setColor(QPalette::Text, m_pForm->RowTextColor(pAddr));
    }

private:
    TfmMain* m_pForm;
};

// The banner of the top panel: the logo tile, the product's name and what
// it does, 503 x 64.
QPixmap LogoBanner() {
    QPixmap pm(503, 64);
    pm.fill(Qt::transparent);
    QPainter painter(&pm);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.drawPixmap(0, 0, PellmarkLogo(64));
    QFont fontName(QStringLiteral("Tahoma"));
    fontName.setPixelSize(30);
    fontName.setBold(true);
    painter.setFont(fontName);
    painter.setPen(QColor(0x1c, 0x4e, 0x9c));
    painter.drawText(QRect(76, 2, 427, 36), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Pellmark"));
    QFont fontTag(QStringLiteral("Tahoma"));
    fontTag.setPixelSize(13);
    painter.setFont(fontTag);
    painter.setPen(QColor(0x44, 0x55, 0x66));
    painter.drawText(QRect(78, 38, 425, 22), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Address book and Outlook contacts, side by side and in step"));
    return pm;
}

}  // namespace

// The 4-pixel bar between the two contact lists; dragging it moves their
// boundary.
class MainSplitter : public QFrame {
public:
    MainSplitter(QWidget* pLeft, QWidget* pRight, QWidget* pParent)
        : QFrame(pParent), m_pLeft(pLeft), m_pRight(pRight), m_nGrab(-1) {
        setCursor(Qt::SplitHCursor);
    }

protected:
    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton) m_nGrab = (int)e->position().x();
    }
    void mouseReleaseEvent(QMouseEvent*) override { m_nGrab = -1; }
    void mouseMoveEvent(QMouseEvent* e) override {
        if (m_nGrab < 0) return;
        const int nRight = m_pRight->geometry().right();
        int nLeftWidth = m_pLeft->width() + (int)e->position().x() - m_nGrab;
        nLeftWidth = qBound(30, nLeftWidth, nRight - width() - 30);
        const int nGap = m_pRight->x() - (m_pLeft->x() + m_pLeft->width());
        m_pLeft->resize(nLeftWidth, m_pLeft->height());
        move(m_pLeft->x() + nLeftWidth, y());
        m_pRight->setGeometry(m_pLeft->x() + nLeftWidth + nGap, m_pRight->y(),
                              nRight - (m_pLeft->x() + nLeftWidth + nGap) + 1, m_pRight->height());
    }

private:
    QWidget* m_pLeft;
    QWidget* m_pRight;
    int m_nGrab;
};

TfmMain::TfmMain(QWidget* pParent)
    : QMainWindow(pParent), m_pWabStore(nullptr), m_pOlStore(nullptr), m_bWabFailed(false), m_bOlFailed(false) {
    setObjectName(QStringLiteral("fmMain"));
    setWindowTitle(QStringLiteral("Pellmark"));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(8);
    font.setStyleHint(QFont::SansSerif);
    setFont(font);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kFormColor);
    setPalette(pal);
    setMinimumSize(270, 50);

    BuildMenus();

    auto* pCentral = new QWidget(this);
    auto* pLayout = new QVBoxLayout(pCentral);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setSpacing(0);

    pTop = new QFrame(pCentral);
    pTop->setObjectName(QStringLiteral("pTop"));
    pTop->setFixedHeight(100);
    imgLogo = new QLabel(pTop);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setPixmap(LogoBanner());
    imgLogo->setGeometry(15, 32, 503, 64);
    btnHelp = MakeButton(pTop, "btnHelp", "Help", 0, 36);
    btnExit = MakeButton(pTop, "btnExit", "Exit", 0, 36);
    QFont fontBold = font;
    fontBold.setBold(true);
    btnHelp->setFont(fontBold);
    btnExit->setFont(fontBold);
    connect(btnHelp, &QPushButton::clicked, this, &TfmMain::miHelpHelpClick);
    connect(btnExit, &QPushButton::clicked, this, &TfmMain::miFileExitClick);
    pTop->installEventFilter(this);
    pLayout->addWidget(pTop);

    auto* pPageHolder = new QWidget(pCentral);
    auto* pPageLayout = new QVBoxLayout(pPageHolder);
    pPageLayout->setContentsMargins(10, 0, 0, 0);
    pMain = new QTabWidget(pPageHolder);
    pMain->setObjectName(QStringLiteral("pMain"));
    pPageLayout->addWidget(pMain);
    pLayout->addWidget(pPageHolder, 1);
    setCentralWidget(pCentral);

    BuildContactsTab();
    BuildHistoryTab();
    pMain->addTab(tAddrList, QStringLiteral("Contacts information"));
    pMain->addTab(tHistory, QStringLiteral("Synchronization History"));
    pMain->setCurrentWidget(tAddrList);
    tHistory->setEnabled(false);
    connect(pMain, &QTabWidget::currentChanged, this, [this](int) {
        // Only the page being shown is enabled.
        tAddrList->setEnabled(pMain->currentWidget() == tAddrList);
        tHistory->setEnabled(pMain->currentWidget() == tHistory);
        UpdateViewMenu();
    });

    sbMain = new QStatusBar(this);
    sbMain->setObjectName(QStringLiteral("sbMain"));
    sbMain->setFixedHeight(19);
    sbMain->setSizeGripEnabled(false);
    lblStatus = new QLabel(sbMain);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    sbMain->addWidget(lblStatus, 1);
    setStatusBar(sbMain);
    pbSync = new QProgressBar(this);
    pbSync->setObjectName(QStringLiteral("pbSync"));
    pbSync->setRange(0, 100);
    pbSync->setValue(0);
    pbSync->setTextVisible(true);
    pbSync->hide();

    ApplySkin(this);
    ApplySkin(pTop, QStringLiteral(SKIN_MACOS));
    ApplySkin(rbtnAddrW2O, QStringLiteral(SKIN_WINXP));
    ApplySkin(pbSync, QStringLiteral(SKIN_MACOS));
    pTop->setStyleSheet(pTop->styleSheet() + QStringLiteral("\nQFrame#pTop { background: #ffffff; }"));
    for (QLabel* p : {lblAddrWAB, lblAddrOL}) p->setStyleSheet(QStringLiteral("color: #0000ff;"));

    resize(1018, 674);
    if (QScreen* pScreen = QApplication::primaryScreen()) {
        const QRect rc = pScreen->availableGeometry();
        move(rc.x() + (rc.width() - 1018) / 2, rc.y() + (rc.height() - 674) / 2);
    }

    InitMain();
}

TfmMain::~TfmMain() { ShutdownMain(); }

void TfmMain::BuildMenus() {
    QMenuBar* pBar = menuBar();
    pBar->setObjectName(QStringLiteral("mnuMain"));
    pBar->setFixedHeight(22);
    auto add = [this](QMenu* pMenu, const char* szName, const char* szCaption, void (TfmMain::*pfn)()) {
        QAction* p = pMenu->addAction(QString::fromUtf8(szCaption));
        p->setObjectName(QString::fromLatin1(szName));
        connect(p, &QAction::triggered, this, pfn);
        return p;
    };
    QMenu* pFile = pBar->addMenu(QStringLiteral("&File"));
    pFile->setObjectName(QStringLiteral("miFile"));
    miFileShowWizard = add(pFile, "miFileShowWizard", "Show Synchronizer Wizard", &TfmMain::miFileShowWizardClick);
    miFileSyncNow = add(pFile, "miFileSyncNow", "Synchronize Now", &TfmMain::miFileSyncNowClick);
    pFile->addSeparator();
    miFileImportWab = add(pFile, "miFileImportWab", "Import vCard into WAB...", &TfmMain::miFileImportWabClick);
    miFileImportOutlook =
        add(pFile, "miFileImportOutlook", "Import vCard into Outlook...", &TfmMain::miFileImportOutlookClick);
    miFileExportWab = add(pFile, "miFileExportWab", "Export WAB Contacts to vCard...", &TfmMain::miFileExportWabClick);
    miFileExportOutlook = add(pFile, "miFileExportOutlook", "Export Outlook Contacts to vCard...",
                              &TfmMain::miFileExportOutlookClick);
    pFile->addSeparator();
    miFileExit = add(pFile, "miFileExit", "Exit", &TfmMain::miFileExitClick);

    QMenu* pView = pBar->addMenu(QStringLiteral("&View"));
    pView->setObjectName(QStringLiteral("miView"));
    miViewAddr = add(pView, "miViewAddr", "Contacts Information", &TfmMain::miViewAddrClick);
    miViewHistory = add(pView, "miViewHistory", "Synchronization History", &TfmMain::miViewHistoryClick);
    miViewAddr->setCheckable(true);
    miViewHistory->setCheckable(true);

    QMenu* pTools = pBar->addMenu(QStringLiteral("Tools"));
    pTools->setObjectName(QStringLiteral("miTools"));
    miToolOptions = add(pTools, "miToolOptions", "Options", &TfmMain::miToolOptionsClick);
    pTools->addSeparator();
    miToolsDebug = add(pTools, "miToolsDebug", "Debug Log", &TfmMain::miToolsDebugClick);

    QMenu* pHelp = pBar->addMenu(QStringLiteral("&Help"));
    pHelp->setObjectName(QStringLiteral("miHelp"));
    miHelpHelp = add(pHelp, "miHelpHelp", "Pellmark Help", &TfmMain::miHelpHelpClick);
    miHelpOnline = add(pHelp, "miHelpOnline", "Online Help", &TfmMain::miHelpOnlineClick);
    miHelpWeb = add(pHelp, "miHelpWeb", "Pellmark Website", &TfmMain::miHelpWebClick);
    pHelp->addSeparator();
    miHelpAbout = add(pHelp, "miHelpAbout", "About Pellmark", &TfmMain::miHelpAboutClick);
}

QTreeWidget* TfmMain::MakeContactList(QWidget* pParent, const char* szName) {
    auto* p = new QTreeWidget(pParent);
    p->setObjectName(QString::fromLatin1(szName));
    p->setColumnCount(8);
    QStringList captions;
    for (const char* sz : kColumnCaptions) captions << QString::fromLatin1(sz);
    p->setHeaderLabels(captions);
    for (int i = 0; i < 8; ++i) p->setColumnWidth(i, kColumnWidths[i]);
    p->setRootIsDecorated(false);
    p->setItemsExpandable(false);
    p->setUniformRowHeights(true);
    p->setSelectionMode(QAbstractItemView::SingleSelection);
    p->setSelectionBehavior(QAbstractItemView::SelectRows);
    p->setEditTriggers(QAbstractItemView::NoEditTriggers);
    p->setFrameShape(QFrame::StyledPanel);
    p->setItemDelegate(new ContactRowDelegate(this, p));
    return p;
}

void TfmMain::BuildContactsTab() {
    tAddrList = new QWidget();
    tAddrList->setObjectName(QStringLiteral("tAddrList"));
    tAddrList->resize(1012, 477);

    pAddrTop = MakePanel(tAddrList, "pAddrTop", 15, 15, 978, 41, true);
    lblAddrMode = MakeLabel(pAddrTop, "lblAddrMode", "Sync Mode:", 20, 15);
    rbtnAddrW2O = new QRadioButton(QStringLiteral("WAB to Outlook"), pAddrTop);
    rbtnAddrW2O->setObjectName(QStringLiteral("rbtnAddrW2O"));
    rbtnAddrW2O->move(94, 12);
    rbtnAddrW2O->setChecked(true);
    rbtnAddrO2W = new QRadioButton(QStringLiteral("Outlook to WAB"), pAddrTop);
    rbtnAddrO2W->setObjectName(QStringLiteral("rbtnAddrO2W"));
    rbtnAddrO2W->move(242, 12);
    rbtnAddrSync = new QRadioButton(QStringLiteral("Synchronize All"), pAddrTop);
    rbtnAddrSync->setObjectName(QStringLiteral("rbtnAddrSync"));
    rbtnAddrSync->move(397, 12);
    for (QRadioButton* p : {rbtnAddrW2O, rbtnAddrO2W, rbtnAddrSync}) p->adjustSize();
    connect(rbtnAddrW2O, &QRadioButton::clicked, this, &TfmMain::rbtnAddrW2OClick);
    connect(rbtnAddrO2W, &QRadioButton::clicked, this, &TfmMain::rbtnAddrO2WClick);
    connect(rbtnAddrSync, &QRadioButton::clicked, this, &TfmMain::rbtnAddrSyncClick);
    btnAddrStart = MakeButton(pAddrTop, "btnAddrStart", "Start", 603, 8);
    connect(btnAddrStart, &QPushButton::clicked, this, &TfmMain::miFileSyncNowClick);

    pAddrMain = MakePanel(tAddrList, "pAddrMain", 15, 56, 978, 353, false);
    lvWabAddr = MakeContactList(pAddrMain, "lvWabAddr");
    lvOLAddr = MakeContactList(pAddrMain, "lvOLAddr");
    splAddr = new MainSplitter(lvWabAddr, lvOLAddr, pAddrMain);
    splAddr->setObjectName(QStringLiteral("splAddr"));
    lvWabAddr->setGeometry(0, 0, 476, 353);
    splAddr->setGeometry(476, 0, 4, 353);
    lvOLAddr->setGeometry(480, 0, 498, 353);
    connect(lvWabAddr, &QTreeWidget::itemDoubleClicked, this, [this]() { lvWabAddrDblClick(); });
    connect(lvOLAddr, &QTreeWidget::itemDoubleClicked, this, [this]() { lvOLAddrDblClick(); });

    pAddrBottom = MakePanel(tAddrList, "pAddrBottom", 15, 411, 978, 41, true);
    lblAddrWAB = MakeLabel(pAddrBottom, "lblAddrWAB", "WAB Data:", 10, 15);
    btnAddrWabAll = MakeButton(pAddrBottom, "btnAddrWabAll", "Select All", 114, 8);
    btnAddrWabDiff = MakeButton(pAddrBottom, "btnAddrWabDiff", "Select Diff", 198, 8);
    btnAddrWabClear = MakeButton(pAddrBottom, "btnAddrWabClear", "Clear", 284, 8);
    lblAddrOL = MakeLabel(pAddrBottom, "lblAddrOL", "Outlook Data:", 488, 14);
    btnAddrOLAll = MakeButton(pAddrBottom, "btnAddrOLAll", "Select All", 580, 7);
    btnAddrOLDiff = MakeButton(pAddrBottom, "btnAddrOLDiff", "Select Diff", 667, 7);
    btnAddrOLClear = MakeButton(pAddrBottom, "btnAddrOLClear", "Clear", 754, 7);
    connect(btnAddrWabAll, &QPushButton::clicked, this, &TfmMain::btnAddrWabAllClick);
    connect(btnAddrWabDiff, &QPushButton::clicked, this, &TfmMain::btnAddrWabDiffClick);
    connect(btnAddrWabClear, &QPushButton::clicked, this, &TfmMain::btnAddrWabClearClick);
    connect(btnAddrOLAll, &QPushButton::clicked, this, &TfmMain::btnAddrOLAllClick);
    connect(btnAddrOLDiff, &QPushButton::clicked, this, &TfmMain::btnAddrOLDiffClick);
    connect(btnAddrOLClear, &QPushButton::clicked, this, &TfmMain::btnAddrOLClearClick);

    tAddrList->installEventFilter(this);
}

void TfmMain::BuildHistoryTab() {
    tHistory = new QWidget();
    tHistory->setObjectName(QStringLiteral("tHistory"));
    tHistory->resize(1012, 477);
    lvHistory = new QTreeWidget(tHistory);
    lvHistory->setObjectName(QStringLiteral("lvHistory"));
    lvHistory->setGeometry(15, 15, 982, 392);
    lvHistory->setColumnCount(4);
    lvHistory->setHeaderLabels({QStringLiteral("Sync Start Time"), QStringLiteral("Sync End Time"),
                                QStringLiteral("Description"), QStringLiteral("Number of Records")});
    const int nWidths[4] = {150, 150, 500, 120};
    for (int i = 0; i < 4; ++i) lvHistory->setColumnWidth(i, nWidths[i]);
    lvHistory->setRootIsDecorated(false);
    lvHistory->setItemsExpandable(false);
    lvHistory->setUniformRowHeights(true);
    lvHistory->setSelectionMode(QAbstractItemView::SingleSelection);
    lvHistory->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvHistory->setEditTriggers(QAbstractItemView::NoEditTriggers);
    btnHistoryAll = MakeButton(tHistory, "btnHistoryAll", "Select All", 30, 431, 100);
    btnHistoryClear = MakeButton(tHistory, "btnHistoryClear", "Clear Selections", 148, 431, 100);
    btnHistoryDel = MakeButton(tHistory, "btnHistoryDel", "Delete History", 272, 431, 100);
    connect(btnHistoryAll, &QPushButton::clicked, this, &TfmMain::btnHistoryAllClick);
    connect(btnHistoryClear, &QPushButton::clicked, this, &TfmMain::btnHistoryClearClick);
    connect(btnHistoryDel, &QPushButton::clicked, this, &TfmMain::btnHistoryDelClick);
    tHistory->installEventFilter(this);
}

// ---- start and end ----

void TfmMain::InitMain() {
    char szFolder[MAX_PATH];
    if (GetDataFolder(szFolder)) {
        char szIni[MAX_PATH + 16];
        snprintf(szIni, sizeof(szIni), "%stessaro.ini", szFolder);
        g_IniFile.SetIniFile(szIni);
        g_DebugUtil.SetFolder(szFolder);
    }
    LoadSettings();
    m_bSettingsUnreadable = SettingsFileUnreadable();
    m_LoadedSettings = g_Settings;
    g_DebugUtil.Enable(g_Settings.EnableDebug);
    g_DebugUtil.SetLevel(g_Settings.LogLevel);
    m_pWabStore = nullptr;
    m_pOlStore = nullptr;
    ExchangeSyncMode(false);
    UpdateViewMenu();
}

void TfmMain::ShutdownMain() {
    ExchangeSyncMode(true);
    ReleaseStores();
    if (m_bSettingsUnreadable && SameSettings(g_Settings, m_LoadedSettings))
        g_DebugUtil.Print(LOG_CRITICAL, __FILE__, __LINE__,
                          "Settings not saved: \"%s\" could not be read and no setting changed, so it is kept.",
                          g_IniFile.GetIniFile());
    else
        SaveSettings();
}

void TfmMain::StartupLoad() {
    StartWaitWindow(reinterpret_cast<HWND>(winId()));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    LoadContacts();
    g_SyncHistory.Load();
    if (m_bSettingsUnreadable)
        AppendStatusText(QStringLiteral("The settings file \"%1\" could not be read; the defaults are used, and "
                                        "the file is kept as it is until a setting changes.")
                                 .arg(QString::fromUtf8(g_IniFile.GetIniFile())));
    if (g_SyncHistory.IsDamaged())
        AppendStatusText(QStringLiteral("The history file \"%1\" could not be read whole; it is kept as it is "
                                        "until the history changes.")
                                 .arg(QString::fromUtf8(g_SyncHistory.GetFile())));
    FillHistoryList();
    CloseWaitWindow();
}

void TfmMain::CreateStores() {
    m_pWabStore = new CxWab();
    m_pOlStore = new OlAddrUtil();
}

void TfmMain::LoadContacts() {
    try {
        CreateStores();
        SetWaitText("Loading WAB Contacts...");
        FillWabList(true);
        SetWaitText("Loading Outlook Contacts...");
        FillOutlookList(true);
        CompareContacts();
    } catch (...) {
        ReportLoadFailure();
    }
}

void TfmMain::ReloadContacts() {
    FillWabList(true);
    FillOutlookList(true);
    CompareContacts();
}

void TfmMain::ReleaseStores() {
    delete m_pWabStore;
    m_pWabStore = nullptr;
    delete m_pOlStore;
    m_pOlStore = nullptr;
}

// ---- the contact lists ----

void TfmMain::FillContactList(QTreeWidget* pList, CommAddrMgr* pMgr) {
    CommAddrField fields[8];
    bool bField[8];
    for (int i = 0; i < 8; ++i) bField[i] = CommAddrMgr::GetFieldInfo(COLUMN_FIELDS[i], &fields[i]);
    CommAddrField email;
    const bool bEmailOnly = g_Settings.AddrEmailOnly && CommAddrMgr::GetFieldInfo(37, &email);

    QList<QTreeWidgetItem*> items;
    items.reserve((int)pMgr->GetCount());
    char szText[1024];
    QStringList texts;
    for (CommAddr* pAddr = pMgr->GetFirst(); pAddr != nullptr; pAddr = pMgr->GetNext()) {
        if (bEmailOnly) {
            char szEmail[128] = "";
            CommAddrMgr::GetFieldText(pAddr, &email, szEmail, sizeof(szEmail));
            if (szEmail[0] == '\0') continue;
        }
        texts.clear();
        for (int i = 0; i < 8; ++i) {
            szText[0] = '\0';
            if (bField[i]) CommAddrMgr::GetFieldText(pAddr, &fields[i], szText, sizeof(szText));
            texts << QString::fromUtf8(szText);
        }
        auto* pItem = new QTreeWidgetItem(texts);
        pItem->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsUserCheckable |
                        Qt::ItemNeverHasChildren);
        pItem->setCheckState(0, Qt::Unchecked);
        pItem->setData(0, Qt::UserRole, QVariant::fromValue<quintptr>(reinterpret_cast<quintptr>(pAddr)));
        items << pItem;
    }
    pList->addTopLevelItems(items);
    if (pList->topLevelItemCount() > 0) pList->setCurrentItem(pList->topLevelItem(0));
}

void TfmMain::FillWabList(bool bReload) {
    if (m_pWabStore == nullptr) return;
    if (bReload) {
        m_bWabFailed = !m_pWabStore->Open(g_Settings.WabName);
        UpdateStoreStatus();
    }
    CommAddrMgr* pMgr = m_pWabStore->GetAddrMgr();
    lvWabAddr->setUpdatesEnabled(false);
    lvWabAddr->clear();
    FillContactList(lvWabAddr, pMgr);
    lvWabAddr->setUpdatesEnabled(true);
}

void TfmMain::FillOutlookList(bool bReload) {
    if (m_pOlStore == nullptr) return;
    CommAddrMgr* pMgr = m_pOlStore->GetAddrMgr();
    lvOLAddr->setUpdatesEnabled(false);
    lvOLAddr->clear();
    if (bReload) {
        m_bOlFailed = !m_pOlStore->Load();
        UpdateStoreStatus();
    }
    FillContactList(lvOLAddr, pMgr);
    lvOLAddr->setUpdatesEnabled(true);
}

void TfmMain::UpdateStoreStatus() {
    QStringList parts;
    if (m_bWabFailed) {
        if (g_Settings.WabName[0] != '\0')
            parts << QStringLiteral("Could not read the WAB file \"%1\".").arg(QString::fromUtf8(g_Settings.WabName));
        else
            parts << QStringLiteral("Could not read the default WAB address book.");
    }
    if (m_bOlFailed) parts << QStringLiteral("Could not read the Outlook Contacts folder.");
    if (!parts.isEmpty())
        parts << QStringLiteral("Its list is empty, so the other side's contacts show as new.");
    SetStatusText(parts.join(QLatin1Char(' ')));
}

void TfmMain::CompareContacts() {
    if (m_pOlStore != nullptr && m_pWabStore != nullptr) {
        m_pOlStore->GetAddrMgr()->CompareWith(m_pWabStore->GetAddrMgr());
        m_pWabStore->GetAddrMgr()->CompareWith(m_pOlStore->GetAddrMgr());
    }
    lvOLAddr->viewport()->update();
    lvWabAddr->viewport()->update();
    RunModeHandler();
}

void TfmMain::RefreshAfterRun() {
    FillWabList(false);
    FillOutlookList(false);
    CompareContacts();
    FillHistoryList();
}

void TfmMain::RunModeHandler() {
    if (rbtnAddrW2O->isChecked())
        rbtnAddrW2OClick();
    else if (rbtnAddrO2W->isChecked())
        rbtnAddrO2WClick();
    else if (rbtnAddrSync->isChecked())
        rbtnAddrSyncClick();
}

bool TfmMain::ExchangeSyncMode(bool bFromControls) {
    if (!bFromControls) {
        switch (g_Settings.SyncMode) {
        case SYNC_OL_TO_WAB:
            rbtnAddrO2W->setChecked(true);
            rbtnAddrO2WClick();
            break;
        case SYNC_ALL:
            rbtnAddrSync->setChecked(true);
            rbtnAddrSyncClick();
            break;
        default:
            rbtnAddrW2O->setChecked(true);
            rbtnAddrW2OClick();
            break;
        }
        return true;
    }
    if (rbtnAddrW2O->isChecked())
        g_Settings.SyncMode = SYNC_WAB_TO_OL;
    else if (rbtnAddrO2W->isChecked())
        g_Settings.SyncMode = SYNC_OL_TO_WAB;
    else if (rbtnAddrSync->isChecked())
        g_Settings.SyncMode = SYNC_ALL;
    else
        return false;
    return true;
}

CommAddr* TfmMain::GetRowAddr(const QTreeWidgetItem* pItem) {
    if (pItem == nullptr) return nullptr;
    return reinterpret_cast<CommAddr*>(pItem->data(0, Qt::UserRole).value<quintptr>());
}

void TfmMain::CheckAllItems(QTreeWidget* pList, bool bCheck) {
    const Qt::CheckState state = bCheck ? Qt::Checked : Qt::Unchecked;
    for (int i = 0, n = pList->topLevelItemCount(); i < n; ++i) {
        QTreeWidgetItem* pItem = pList->topLevelItem(i);
        if (pItem->checkState(0) != state) pItem->setCheckState(0, state);
    }
}

void TfmMain::SelectDiffItems(QTreeWidget* pList) {
    for (int i = 0, n = pList->topLevelItemCount(); i < n; ++i) {
        QTreeWidgetItem* pItem = pList->topLevelItem(i);
        const CommAddr* pAddr = GetRowAddr(pItem);
        const bool bTick =
            pAddr != nullptr && (pAddr->nStatus == ADDR_STATUS_NEW || pAddr->nStatus == ADDR_STATUS_DIFF);
        const Qt::CheckState state = bTick ? Qt::Checked : Qt::Unchecked;
        if (pItem->checkState(0) != state) pItem->setCheckState(0, state);
    }
}

QColor TfmMain::RowTextColor(const CommAddr* pAddr) const {
    if (!g_Settings.ShowColor) return Qt::black;
    const int nStatus = pAddr != nullptr ? pAddr->nStatus : ADDR_STATUS_SAME;
    if (nStatus == ADDR_STATUS_DIFF) return FromColorRef(g_Settings.DiffColor);
    if (nStatus == ADDR_STATUS_NEW) return FromColorRef(g_Settings.NewColor);
    return FromColorRef(g_Settings.SameColor);
}

void TfmMain::rbtnAddrW2OClick() {
    CheckAllItems(lvWabAddr, false);
    CheckAllItems(lvOLAddr, false);
    SelectDiffItems(lvWabAddr);
}

void TfmMain::rbtnAddrO2WClick() {
    CheckAllItems(lvWabAddr, false);
    CheckAllItems(lvOLAddr, false);
    SelectDiffItems(lvOLAddr);
}

void TfmMain::rbtnAddrSyncClick() {
    CheckAllItems(lvWabAddr, false);
    CheckAllItems(lvOLAddr, false);
    SelectDiffItems(lvWabAddr);
    SelectDiffItems(lvOLAddr);
}

void TfmMain::btnAddrWabAllClick() { CheckAllItems(lvWabAddr, true); }
void TfmMain::btnAddrWabDiffClick() { SelectDiffItems(lvWabAddr); }
void TfmMain::btnAddrWabClearClick() { CheckAllItems(lvWabAddr, false); }
void TfmMain::btnAddrOLAllClick() { CheckAllItems(lvOLAddr, true); }
void TfmMain::btnAddrOLDiffClick() { SelectDiffItems(lvOLAddr); }
void TfmMain::btnAddrOLClearClick() { CheckAllItems(lvOLAddr, false); }

// ---- menus ----

void TfmMain::miFileShowWizardClick() { RunWizard(true); }
void TfmMain::miFileSyncNowClick() { SyncNow(); }
void TfmMain::miFileExitClick() { close(); }

void TfmMain::miViewAddrClick() {
    pMain->setCurrentWidget(tAddrList);
    UpdateViewMenu();
}

void TfmMain::miViewHistoryClick() {
    pMain->setCurrentWidget(tHistory);
    UpdateViewMenu();
}

void TfmMain::UpdateViewMenu() {
    miViewAddr->setChecked(false);
    miViewHistory->setChecked(false);
    if (pMain->currentWidget() == tAddrList)
        miViewAddr->setChecked(true);
    else if (pMain->currentWidget() == tHistory)
        miViewHistory->setChecked(true);
}

void TfmMain::miHelpHelpClick() { OpenHelpFile(); }
void TfmMain::miHelpOnlineClick() { OpenOnlineHelp(); }
void TfmMain::miHelpWebClick() { OpenWebPage(); }

// ---- status bar and progress ----

void TfmMain::SetStatusText(const QString& sText) { lblStatus->setText(sText); }

void TfmMain::AppendStatusText(const QString& sText) {
    QString sAll = GetStatusText();
    if (!sAll.isEmpty()) sAll += QLatin1Char(' ');
    SetStatusText(sAll + sText);
}
QString TfmMain::GetStatusText() const { return lblStatus->text(); }

void TfmMain::SetProgress(int nPercent) {
    pbSync->setValue(qBound(0, nPercent, 100));
    // Paint now: the run holds the main thread, and running the event loop
    // here could start a second run from a queued click.
    if (pbSync->isVisible()) pbSync->repaint();
}

void TfmMain::ShowProgress(bool bShow) {
    if (bShow) {
        FormResize();
        pbSync->raise();
        pbSync->show();
        pbSync->repaint();
    } else {
        pbSync->hide();
    }
}

// ---- layout ----

void TfmMain::resizeEvent(QResizeEvent* pEvent) {
    QMainWindow::resizeEvent(pEvent);
    FormResize();
}

bool TfmMain::eventFilter(QObject* pWatched, QEvent* pEvent) {
    if (pEvent->type() == QEvent::Resize) {
        if (pWatched == pTop)
            pTopResize();
        else if (pWatched == tAddrList)
            tAddrListResize();
        else if (pWatched == tHistory)
            tHistoryResize();
    }
    return QMainWindow::eventFilter(pWatched, pEvent);
}

void TfmMain::FormResize() {
    const QRect rc = sbMain->geometry();
    pbSync->setGeometry(rc.left() + 2, rc.top() + 1, rc.width() - 4, rc.height() - 2);
}

void TfmMain::pTopResize() {
    btnExit->move(pTop->width() - 110, btnExit->y());
    btnHelp->move(btnExit->x() - 105, btnHelp->y());
}

void TfmMain::tAddrListResize() { ArrangeContactsTab(); }

void TfmMain::ArrangeContactsTab() {
    const int W = tAddrList->width();
    const int H = tAddrList->height();
    pAddrTop->resize(W - 30, pAddrTop->height());
    pAddrBottom->setGeometry(pAddrBottom->x(), H - 71, W - 30, pAddrBottom->height());
    pAddrMain->resize(W - 30, H - 125);
    const int nHalf = (W - 3) / 2;
    const int nListHeight = pAddrMain->height();
    // The lists' places are counted from the tab's left edge; they sit in
    // pAddrMain, which starts 15 pixels in.
    const int nWabWidth = nHalf - 15;
    const int nOlLeft = nHalf + 3 - pAddrMain->x();
    lvWabAddr->setGeometry(0, 0, nWabWidth, nListHeight);
    splAddr->setGeometry(nWabWidth, 0, qMax(1, nOlLeft - nWabWidth), nListHeight);
    lvOLAddr->setGeometry(nOlLeft, 0, W - 15 - (nHalf + 3), nListHeight);
    const int nOlLabel = pAddrBottom->width() / 2 + 5;
    lblAddrOL->move(nOlLabel, lblAddrOL->y());
    btnAddrOLAll->move(nOlLabel + 100, btnAddrOLAll->y());
    btnAddrOLDiff->move(btnAddrOLAll->x() + 90, btnAddrOLDiff->y());
    btnAddrOLClear->move(btnAddrOLDiff->x() + 90, btnAddrOLClear->y());
}

void TfmMain::tHistoryResize() {
    const int W = tHistory->width();
    const int H = tHistory->height();
    lvHistory->resize(W - 30, H - 85);
    for (QPushButton* p : {btnHistoryAll, btnHistoryClear, btnHistoryDel}) p->move(p->x(), H - 45);
}

// ---- history tab ----

void TfmMain::FillHistoryList() {
    lvHistory->setUpdatesEnabled(false);
    lvHistory->clear();
    QList<QTreeWidgetItem*> items;
    char szStart[256];
    char szEnd[256];
    CxDateTime dt;
    for (SyncHistoryRec* pRec = g_SyncHistory.GetFirst(); pRec != nullptr; pRec = g_SyncHistory.GetNext()) {
        dt.SetVariantTime(pRec->dtStart);
        dt.FormatDateTime(szStart, sizeof(szStart));
        dt.SetVariantTime(pRec->dtEnd);
        dt.FormatDateTime(szEnd, sizeof(szEnd));
        auto* pItem = new QTreeWidgetItem(QStringList{QString::fromUtf8(szStart), QString::fromUtf8(szEnd),
                                                      QString::fromUtf8(pRec->szDescription),
                                                      QString::number(pRec->nRecordCount)});
        pItem->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsUserCheckable |
                        Qt::ItemNeverHasChildren);
        pItem->setCheckState(0, Qt::Unchecked);
        pItem->setData(0, Qt::UserRole, QVariant::fromValue<quintptr>(reinterpret_cast<quintptr>(pRec)));
        items << pItem;
    }
    lvHistory->addTopLevelItems(items);
    lvHistory->setUpdatesEnabled(true);
}

void TfmMain::btnHistoryAllClick() { CheckAllItems(lvHistory, true); }
void TfmMain::btnHistoryClearClick() { CheckAllItems(lvHistory, false); }
void TfmMain::btnHistoryDelClick() {
    int nDeleted = 0;
    for (int i = 0, n = lvHistory->topLevelItemCount(); i < n; ++i) {
        QTreeWidgetItem* pItem = lvHistory->topLevelItem(i);
        auto* pRec = reinterpret_cast<SyncHistoryRec*>(pItem->data(0, Qt::UserRole).value<quintptr>());
        if (pItem->checkState(0) != Qt::Checked || pRec == nullptr) continue;
        g_SyncHistory.DeleteRecord(pRec);
        pItem->setData(0, Qt::UserRole, QVariant());
        ++nDeleted;
    }
    if (nDeleted > 0) {
        g_SyncHistory.Save();
        FillHistoryList();
    }
}

void TfmMain::miToolsDebugClick() { ShowDebugDialog(this); }

void TfmMain::ReportLoadFailure() {
    CxMessageBox::Show(this, CxMessageBox::Error, QStringLiteral("Error"),
                       QStringLiteral("Failed to initialize Contacts Data."));
    ShowErrorReport(this);
}

