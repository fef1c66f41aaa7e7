#include "FrmPrincipal.h"

#include "AboutDialog.h"
#include "AppException.h"
#include "AppSettings.h"
#include "CompanyRecord.h"
#include "Database.h"
#include "ErrorReport.h"
#include "FilteredLineEdit.h"
#include "FnZidurad.h"
#include "Recordset.h"
#include "Ui.h"
#include "ZipExtractionClass.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QMenuBar>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

const QList<FrmPrincipal::Command>& FrmPrincipal::commands()
{
    static const QList<Command> list = {
        {"CmdReport", "Report", true, "graph01.gif"},
        {"CmdStock", " Articles", true, nullptr},
        {"CmdVente", " Journal des Ventes", true, "book01.gif"},
        {"CmdMachines", " Machines", true, "wrench.ico"},
        {"CmdInfoCom", " Informations Société", true, "6pt5a.gif"},
        {"CmdApropos", " Info Version", true, "6pt3a.gif"},
        {"CmdSync", "Synchro", true, nullptr},
        {"CmdClose", " Quitter", true, "door02.gif"},
        {"CmdComptoir", " Comptoir", false, "desktop.gif"},
        {"CmdBadgeMainten", " Badges Maintenances", false, "secur06.ico"},
        {"CmdSites", " Sites et Services", false, "orgchrt2.gif"},
        {"CmdFournissueur", " Fournisseurs", false, "crdfle04.ico"},
        {"CmdMouvementStock", " Mouvements de Stock", false, "note14.ico"},
        {"CmdProfile", " Profiles", false, "misc08.ico"},
        {"CmdFamilles", " Familles", false, "fonts.gif"},
        {"CmdTailles", " Tailles", false, nullptr},
        {"CmdEmplacement", " Salariés", false, "net14.ico"},
    };
    return list;
}

FrmPrincipal::FrmPrincipal(Ui& ui, AppSettings& settings, QWidget* parent)
    : QMainWindow(parent), m_ui(ui), m_settings(settings)
{
    setObjectName(QStringLiteral("FrmPrincipal"));
    setWindowTitle(QStringLiteral("Gestion de"));
    buildUi();
}

FrmPrincipal::~FrmPrincipal() = default;

void FrmPrincipal::buildUi()
{
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));
    setCentralWidget(central);

    m_buttonPanel = new QWidget(central);
    m_buttonPanel->setObjectName(QStringLiteral("buttonPanel"));
    auto* grid = new QGridLayout(m_buttonPanel);
    grid->setSpacing(10);
    int shown = 0;
    QWidget* previous = nullptr;
    for (const Command& c : commands()) {
        auto* b = new QToolButton(m_buttonPanel);
        const QString name = QString::fromLatin1(c.name);
        b->setObjectName(name);
        b->setText(QString::fromUtf8(c.caption));
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setIconSize(QSize(32, 32));
        b->setMinimumSize(260, 52);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        b->setFocusPolicy(Qt::StrongFocus);
        b->setAutoRaise(false);
        connect(b, &QToolButton::clicked, this, [this, name] { run(name); });
        m_buttons.insert(name, b);
        if (c.shown) {
            grid->addWidget(b, shown / 2, shown % 2);
            ++shown;
            if (previous)
                setTabOrder(previous, b);
            previous = b;
        } else {
            b->hide();
        }
    }

    auto* outer = new QVBoxLayout(central);
    outer->addStretch(1);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(m_buttonPanel);
    row->addStretch(1);
    outer->addLayout(row);
    outer->addStretch(1);

    // Company panel, shown over the buttons.
    m_companyPanel = new QGroupBox(QStringLiteral("Informations société"), central);
    m_companyPanel->setObjectName(QStringLiteral("companyGroupBox"));
    m_companyPanel->setAutoFillBackground(true);
    auto* form = new QFormLayout(m_companyPanel);
    const QList<std::pair<QString, QString>> fields = {
        {QStringLiteral("Nom"), QStringLiteral("Société:")},      {QStringLiteral("Adresse"), QStringLiteral("Adresse:")},
        {QStringLiteral("Ville"), QStringLiteral("Ville:")},      {QStringLiteral("CodePostal"), QStringLiteral("Code Postal:")},
        {QStringLiteral("Tel"), QStringLiteral("Téléphone:")},    {QStringLiteral("Fax"), QStringLiteral("Fax:")}};
    for (const auto& [column, label] : fields) {
        FilteredLineEdit::Filter filter = [](const QString& t) { return t; };
        if (column == QLatin1String("Nom"))
            filter = &FilteredLineEdit::upperCase;
        else if (column == QLatin1String("Tel") || column == QLatin1String("Fax"))
            filter = &FilteredLineEdit::digitsAndBlanks;
        auto* edit = new FilteredLineEdit(filter, m_companyPanel);
        edit->setObjectName(column.left(1).toLower() + column.mid(1) + QStringLiteral("LineEdit"));
        edit->setMinimumWidth(320);
        form->addRow(label, edit);
        m_fields.insert(column, edit);
    }
    auto* ok = new QPushButton(QStringLiteral("OK"), m_companyPanel);
    ok->setObjectName(QStringLiteral("okPushButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &FrmPrincipal::saveCompany);
    form->addRow(QString(), ok);
    m_companyPanel->adjustSize();
    m_companyPanel->hide();

    // Synchronisation panel.
    m_synchroPanel = new QFrame(central);
    m_synchroPanel->setObjectName(QStringLiteral("synchroFrame"));
    static_cast<QFrame*>(m_synchroPanel)->setFrameShape(QFrame::StyledPanel);
    m_synchroPanel->setAutoFillBackground(true);
    auto* sync = new QVBoxLayout(m_synchroPanel);
    auto* label = new QLabel(QStringLiteral("Synchro en cours...."), m_synchroPanel);
    m_progressB = new QProgressBar(m_synchroPanel);
    m_progressB->setObjectName(QStringLiteral("ProgressB"));
    m_progressB->setMinimumWidth(360);
    sync->addWidget(label);
    sync->addWidget(m_progressB);
    m_synchroPanel->adjustSize();
    m_synchroPanel->hide();

    // The functions whose buttons stay hidden are reached from this menu.
    QMenu* gestion = menuBar()->addMenu(QStringLiteral("&Gestion"));
    for (const Command& c : commands()) {
        if (c.shown)
            continue;
        const QString name = QString::fromLatin1(c.name);
        QAction* a = gestion->addAction(QString::fromUtf8(c.caption).trimmed(), this, [this, name] { run(name); });
        m_menuActions.insert(name, a);
    }
    QAction* dotation = gestion->addAction(QStringLiteral("Dotations"), this, [this] { run(QStringLiteral("FenDotation")); });
    m_menuActions.insert(QStringLiteral("FenDotation"), dotation);

    // Until a command's window is part of the program, its button and entry are disabled.
    for (const Command& c : commands()) {
        const QString name = QString::fromLatin1(c.name);
        const bool own = name == QLatin1String("CmdInfoCom") || name == QLatin1String("CmdApropos") ||
                         name == QLatin1String("CmdClose");
        if (!own)
            setOpener(name, nullptr);
    }
    setOpener(QStringLiteral("FenDotation"), nullptr);
}

void FrmPrincipal::setOpener(const QString& command, std::function<void()> open)
{
    const bool enabled = static_cast<bool>(open);
    if (enabled)
        m_openers.insert(command, std::move(open));
    else
        m_openers.remove(command);
    const QString later = QStringLiteral("Disponible dans une prochaine version");
    if (QToolButton* b = m_buttons.value(command)) {
        b->setEnabled(enabled);
        b->setToolTip(enabled ? QString() : later);
    }
    if (QAction* a = m_menuActions.value(command)) {
        a->setEnabled(enabled);
        a->setToolTip(enabled ? QString() : later);
    }
}

void FrmPrincipal::run(const QString& command)
{
    if (command == QLatin1String("CmdInfoCom")) {
        showCompanyPanel();
        return;
    }
    if (command == QLatin1String("CmdApropos")) {
        showAbout();
        return;
    }
    if (command == QLatin1String("CmdClose")) {
        close();
        return;
    }
    const auto open = m_openers.value(command);
    if (!open)
        return;
    if (command != QLatin1String("CmdSync"))
        hideCompanyPanel();
    open();
}

FrmPrincipal::LoadResult FrmPrincipal::load(int screenWidth)
{
    // 1.
    if (screenWidth < 0) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        screenWidth = screen ? screen->geometry().width() : 1024;
    }
    if (screenWidth < 1024)
        m_ui.message(QStringLiteral("La résolution de l'écran doit être au moin de 1024 x 768.\r"
                                    "Veuillez configurer votre écran pour pouvoir continuer !"),
                     QStringLiteral("Attention"), Ui::Icon::Warning, Ui::Buttons::Ok);
    // 2. and 3.
    loadIcons();
    m_settings.ReportFolder = m_settings.ApplicationFolder + QStringLiteral("/RPT SQL/");
    // 4.
    try {
        m_db = Database::open(m_settings);
    } catch (const AppException& e) {
        if (e.number() == Database::Unreachable) {
            m_ui.message(QStringLiteral("Pas de base de donnée, l'application va se terminer."), QString(),
                         Ui::Icon::None, Ui::Buttons::Ok);
            return LoadResult::NoDatabase;
        }
        ErrorReport::ReportError(m_ui, QStringLiteral("Form load frm principale"), e);
        return LoadResult::Ok;
    }
    try {
        m_company = std::make_unique<CompanyRecord>(*m_db);
        fillCompanyFields();
        // 5.
        const QVariant email = m_company->adEmail();
        if (!email.isNull())
            m_settings.CompanyEmail = email.toString();
    } catch (const AppException& e) {
        ErrorReport::ReportError(m_ui, QStringLiteral("Form load frm principale"), e);
    }
    return LoadResult::Ok;
}

void FrmPrincipal::loadIcons()
{
    const QString folder = m_settings.ApplicationFolder + QStringLiteral("/icon");
    for (const Command& c : commands()) {
        if (!c.icon)
            continue;
        const QString path = FnZidurad::RealFilePath(folder, QString::fromLatin1(c.icon));
        if (path.isEmpty())
            continue;
        // The content decides the format, whatever the name says.
        QImageReader reader(path);
        reader.setDecideFormatFromContent(true);
        const QImage image = reader.read();
        if (!image.isNull())
            m_buttons.value(QString::fromLatin1(c.name))->setIcon(QIcon(QPixmap::fromImage(image)));
    }
}

void FrmPrincipal::fillCompanyFields()
{
    for (const QString& f : CompanyRecord::panelFields())
        m_fields.value(f)->setText(m_company ? m_company->field(f) : QString());
}

QVariant FrmPrincipal::motPasse() const
{
    return m_company ? m_company->motPasse() : QVariant();
}

QWidget* FrmPrincipal::synchroPanel() const
{
    return m_synchroPanel;
}

void FrmPrincipal::saveCompany()
{
    if (!m_company) {
        m_companyPanel->hide();
        return;
    }
    QMap<QString, QString> values;
    for (const QString& f : CompanyRecord::panelFields())
        values.insert(f, m_fields.value(f)->text());
    try {
        m_company->save(values);
        m_companyPanel->hide();
    } catch (const AppException& e) {
        m_company->recordset().CancelUpdate();
        ErrorReport::ReportError(m_ui, QStringLiteral("CmdOK_Click"), e);
    }
}

void FrmPrincipal::showCompanyPanel()
{
    if (m_company && !m_company->recordset().isEditing())
        fillCompanyFields();
    centrePanels();
    m_companyPanel->show();
    m_companyPanel->raise();
    m_fields.value(QStringLiteral("Nom"))->setFocus();
}

void FrmPrincipal::hideCompanyPanel()
{
    m_companyPanel->hide();
}

void FrmPrincipal::showAbout()
{
    AboutDialog about([this] { return startUpdater(); }, this);
    about.exec();
}

bool FrmPrincipal::startUpdater()
{
    const QString path = FnZidurad::RealFilePath(m_settings.ApplicationFolder, QStringLiteral("PXUpdate.exe"));
    if (path.isEmpty())
        return false;
    if (!QProcess::startDetached(path, {}, m_settings.ApplicationFolder)) {
        ErrorReport::ReportError(m_ui, QStringLiteral("Téléchargement de mise à jour"), 53,
                                 QStringLiteral("Le programme de mise à jour ne peut pas être lancé : %1").arg(path));
        return false;
    }
    writeBack();
    Q_EMIT quitRequested();
    QCoreApplication::exit(0);
    return true;
}

void FrmPrincipal::Unzip(const QString& Fich, const QString& Repertoire)
{
    ZipExtractionClass zip;
    if (zip.OpenZip(Fich)) {
        if (zip.Extract(Repertoire, true, true))
            m_ui.message(QStringLiteral("Zip files extracted successfully"), QString(), Ui::Icon::Information,
                         Ui::Buttons::Ok);
        zip.CloseZip();
    }
}

void FrmPrincipal::writeBack()
{
    if (m_closing)
        return;
    m_closing = true;
    try {
        if (m_company)
            m_company->writeEmail(m_settings.CompanyEmail);
    } catch (...) {
        // Closing goes on whatever happens.
    }
    m_company.reset();
    m_db.reset();
}

void FrmPrincipal::closeEvent(QCloseEvent* event)
{
    writeBack();
    event->accept();
    Q_EMIT quitRequested();
}

void FrmPrincipal::centrePanels()
{
    for (QWidget* p : {static_cast<QWidget*>(m_companyPanel), m_synchroPanel}) {
        p->adjustSize();
        const QWidget* area = centralWidget();
        p->move((area->width() - p->width()) / 2, (area->height() - p->height()) / 2);
    }
}

void FrmPrincipal::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    centrePanels();
}

void FrmPrincipal::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    // The hourglass set by a command goes back to normal when the main window is active again.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
}
