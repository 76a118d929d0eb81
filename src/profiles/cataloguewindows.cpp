#include "profiles/cataloguewindows.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <exception>

#include "platform/dialogs.h"

namespace {

// A database error in a button's action is shown like any error nobody
// caught, and the window goes on.
template <typename F>
void Guarded(F&& action)
{
    try {
        action();
    } catch (const std::exception& e) {
        platform::ShowErrorBox(QString::fromUtf8(e.what()));
    }
}

QString CurrentHomePage(const CatalogueList& list)
{
    return list.Text(list.CurrentRow(), QStringLiteral("STRONA_WWW"));
}

}  // namespace

// ------------------------------------------------------------------ chooser

CatalogueChooserDialog::CatalogueChooserDialog(CatalogueKind kind, const QString& caption, CatalogueEditor editor,
                                               MemTable* shared, const QString& keyField, QWidget* parent)
    : QDialog(parent), editor_(std::move(editor))
{
    setWindowTitle(caption);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    browser_ = new CatalogueBrowser(kind, true, this);
    layout->addWidget(browser_);
    if (shared)
        ticks_ = std::make_unique<TickTable>(*shared, keyField);
    choice_ = std::make_unique<ChooserChoice>(*browser_->List(), ticks_.get());
    browser_->SetTickTable(ticks_.get());
    browser_->SetTableTypesIntoSearch(kind == CatalogueKind::Tracks);

    connect(browser_, &CatalogueBrowser::addClicked, this, &CatalogueChooserDialog::AddClick);
    connect(browser_, &CatalogueBrowser::editClicked, this, &CatalogueChooserDialog::EditClick);
    if (kind != CatalogueKind::VehicleProfiles)
        connect(browser_->HiddenEditButton(), &QPushButton::clicked, this, &CatalogueChooserDialog::EditClick);
    connect(browser_, &CatalogueBrowser::okClicked, this, &CatalogueChooserDialog::OkClick);
    connect(browser_, &CatalogueBrowser::cancelClicked, this, &CatalogueChooserDialog::CancelClick);
    connect(browser_, &CatalogueBrowser::tickClicked, this, &CatalogueChooserDialog::TickClick);
    connect(browser_, &CatalogueBrowser::cardDoubleClicked, this, &CatalogueChooserDialog::DoubleClick);
    connect(browser_, &CatalogueBrowser::tableDoubleClicked, this, &CatalogueChooserDialog::DoubleClick);
    connect(browser_, &CatalogueBrowser::tableHomePageClicked, this, &CatalogueChooserDialog::HomePageClick);
}

CatalogueChooserDialog::~CatalogueChooserDialog() = default;

void CatalogueChooserDialog::Prepare(bool multi)
{
    multi_ = multi && ticks_ != nullptr;
    choice_->Open();
    browser_->SetSelectionVisible(multi_);
    browser_->ShowTickState(false);
    browser_->ApplyStoredViewMode();
}

int CatalogueChooserDialog::Run()
{
    if (browser_->Kind() == CatalogueKind::VehicleProfiles)
        resize(1124, 675);
    else {
        // Maximised; the screen's work area also where no window manager
        // maximises windows.
        if (QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen())
            setGeometry(screen->availableGeometry());
        setWindowState(windowState() | Qt::WindowMaximized);
    }
    platform::ExecModal(*this);
    return Result();
}

void CatalogueChooserDialog::AddClick()
{
    Guarded([this] {
        const int added = editor_(-1);
        browser_->Reload();
        // The entry just made is the one OK takes.
        if (added > 0)
            IBQuery1()->LocateId(added);
    });
}

void CatalogueChooserDialog::EditClick()
{
    const int id = IBQuery1()->CurrentId();
    if (id < 1)
        return;
    Guarded([this, id] {
        editor_(id);
        if (editReReads_)
            browser_->Reload();
    });
}

void CatalogueChooserDialog::OkClick()
{
    choice_->Ok();
    accept();
}

void CatalogueChooserDialog::CancelClick()
{
    choice_->Cancel();
    reject();
}

void CatalogueChooserDialog::TickClick()
{
    if (!multi_)
        return;
    const std::optional<bool> state = choice_->TickCurrent();
    if (state)
        browser_->ShowTickState(*state);
}

void CatalogueChooserDialog::DoubleClick()
{
    choice_->DoubleClick();
    accept();
}

void CatalogueChooserDialog::HomePageClick() { OpenHomePage(CurrentHomePage(*IBQuery1())); }

// -------------------------------------------------------------- list window

CatalogueListWindow::CatalogueListWindow(CatalogueKind kind, const QString& caption, CatalogueEditor editor,
                                         QWidget* parent)
    : QWidget(parent), editor_(std::move(editor))
{
    setWindowTitle(caption);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    browser_ = new CatalogueBrowser(kind, false, this);
    layout->addWidget(browser_);

    connect(browser_, &CatalogueBrowser::addClicked, this, &CatalogueListWindow::AddClick);
    connect(browser_, &CatalogueBrowser::editClicked, this, &CatalogueListWindow::EditClick);
    connect(browser_, &CatalogueBrowser::deleteClicked, this, &CatalogueListWindow::DeleteClick);
    if (kind != CatalogueKind::VehicleProfiles)
        connect(browser_->HiddenEditButton(), &QPushButton::clicked, this, &CatalogueListWindow::EditClick);
    if (kind == CatalogueKind::Drivers)
        connect(browser_->HiddenAddButton(), &QPushButton::clicked, this, &CatalogueListWindow::AddClick);
    connect(browser_, &CatalogueBrowser::cardDoubleClicked, this, &CatalogueListWindow::DoubleClick);
    if (kind == CatalogueKind::Tracks) {
        connect(browser_, &CatalogueBrowser::cardHomePageClicked, this, &CatalogueListWindow::HomePageClick);
        connect(browser_, &CatalogueBrowser::tableHomePageClicked, this, &CatalogueListWindow::HomePageClick);
    }
}

CatalogueListWindow::~CatalogueListWindow() = default;

void CatalogueListWindow::Prepare()
{
    browser_->Reload();
    browser_->ApplyStoredViewMode();
}

void CatalogueListWindow::ReRead()
{
    Guarded([this] { browser_->Reload(); });
}

void CatalogueListWindow::AddClick()
{
    int added = -1;
    Guarded([this, &added] { added = editor_(-1); });
    ReRead();
    if (added > 0)
        IBQuery1()->LocateId(added);
}

void CatalogueListWindow::EditClick()
{
    const int id = IBQuery1()->CurrentId();
    if (id <= 0)
        return;
    Guarded([this, id] { editor_(id); });
    ReRead();
}

void CatalogueListWindow::DeleteClick()
{
    catalogue::DeleteCallbacks callbacks;
    callbacks.confirm = [](const QString& question) {
        return platform::AskYesNo(question) == platform::Answer::Yes;
    };
    callbacks.showMessage = [](const QString& text) { platform::ShowMessage(text); };
    const catalogue::DeleteResult result = catalogue::DeleteRow(browser_->Kind(), IBQuery1()->CurrentId(), callbacks);
    if (result == catalogue::DeleteResult::Deleted || result == catalogue::DeleteResult::Failed)
        ReRead();
}

void CatalogueListWindow::HomePageClick() { OpenHomePage(CurrentHomePage(*IBQuery1())); }

void CatalogueListWindow::DoubleClick(bool onPhoto)
{
    switch (browser_->Kind()) {
    case CatalogueKind::Drivers: EditClick(); break;
    case CatalogueKind::Tracks:
        if (!onPhoto)
            EditClick();
        break;
    case CatalogueKind::VehicleProfiles: break;
    }
}
