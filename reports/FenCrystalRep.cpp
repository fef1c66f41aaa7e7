#include "FenCrystalRep.h"

#include "AppException.h"
#include "AppSettings.h"
#include "Database.h"
#include "ErrorReport.h"
#include "FnZidurad.h"
#include "PdfMailer.h"
#include "Recordset.h"
#include "ReportTemplate.h"
#include "Ui.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {
// One page drawn at the zoom of the window.
class PageView : public QWidget {
public:
    PageView(const ReportLayout& layout, const int& page, const double& zoom, QWidget* parent)
        : QWidget(parent), m_layout(layout), m_page(page), m_zoom(zoom)
    {
        setObjectName(QStringLiteral("pageView"));
    }
    double resolution() const { return logicalDpiX() * m_zoom; }
    QSize sizeHint() const override
    {
        const double k = resolution() / 25.4;
        return QSize(int(m_layout.pageSize.width() * k), int(m_layout.pageSize.height() * k));
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        p.setRenderHint(QPainter::Antialiasing);
        m_layout.paint(m_page, p, resolution());
    }

private:
    const ReportLayout& m_layout;
    const int& m_page;
    const double& m_zoom;
};
} // namespace

FenCrystalRep::FenCrystalRep(Ui& ui, AppSettings& settings, QWidget* parent)
    : QDialog(parent, Qt::Window), m_ui(ui), m_settings(settings)
{
    setObjectName(QStringLiteral("FenCrystalRep"));
    auto* emailLabel = new QLabel(QStringLiteral("Adresse E-mail:"), this);
    m_email = new QLineEdit(this);
    m_email->setObjectName(QStringLiteral("emailLineEdit"));
    emailLabel->setBuddy(m_email);
    m_send = new QPushButton(QStringLiteral("  Envoie fichier PDF"), this);
    m_send->setObjectName(QStringLiteral("envoiePushButton"));
    connect(m_send, &QPushButton::clicked, this, &FenCrystalRep::CmdEmail_Click);

    auto* previous = new QPushButton(QStringLiteral("◀"), this);
    previous->setObjectName(QStringLiteral("precedentePushButton"));
    previous->setToolTip(QStringLiteral("Page précédente"));
    auto* next = new QPushButton(QStringLiteral("▶"), this);
    next->setObjectName(QStringLiteral("suivantePushButton"));
    next->setToolTip(QStringLiteral("Page suivante"));
    m_pageLabel = new QLabel(this);
    m_pageLabel->setObjectName(QStringLiteral("pageLabel"));
    m_zoomBox = new QComboBox(this);
    m_zoomBox->setObjectName(QStringLiteral("zoomComboBox"));
    for (int z : {50, 75, 100, 125, 150, 200})
        m_zoomBox->addItem(QStringLiteral("%1 %").arg(z), z / 100.0);
    m_zoomBox->setCurrentIndex(2);
    auto* printButton = new QPushButton(QStringLiteral("Imprimer"), this);
    printButton->setObjectName(QStringLiteral("imprimerPushButton"));
    connect(previous, &QPushButton::clicked, this, [this] { setPage(m_page - 1); });
    connect(next, &QPushButton::clicked, this, [this] { setPage(m_page + 1); });
    connect(m_zoomBox, &QComboBox::currentIndexChanged, this, [this] { setZoom(m_zoomBox->currentData().toDouble()); });
    connect(printButton, &QPushButton::clicked, this, &FenCrystalRep::print);

    m_view = new PageView(m_layout, m_page, m_zoom, this);
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("viewerScrollArea"));
    m_scroll->setWidget(m_view);
    m_scroll->setAlignment(Qt::AlignHCenter);
    m_scroll->setBackgroundRole(QPalette::Dark);

    auto* top = new QHBoxLayout;
    top->addWidget(emailLabel);
    top->addWidget(m_email, 1);
    top->addWidget(m_send);
    top->addSpacing(24);
    top->addWidget(previous);
    top->addWidget(m_pageLabel);
    top->addWidget(next);
    top->addWidget(m_zoomBox);
    top->addWidget(printButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_scroll, 1);
    resize(1000, 760);
}

FenCrystalRep::~FenCrystalRep() = default;

bool FenCrystalRep::ImprimerEtat2(const QString& UnNom, const QString& ASelectionFormula, const QString& TitreRep,
                                  const QString& Table)
{
    Q_UNUSED(ASelectionFormula); // every caller passes an empty formula
    // The hourglass while the report is prepared, whatever way this ends.
    struct Hourglass {
        Hourglass() { QApplication::setOverrideCursor(Qt::WaitCursor); }
        ~Hourglass() { QApplication::restoreOverrideCursor(); }
    } hourglass;
    try {
        // 1.
        const QString folder = m_settings.ReportFolder.isEmpty()
                                   ? m_settings.ApplicationFolder + QStringLiteral("/RPT SQL/")
                                   : m_settings.ReportFolder;
        const QString path = FnZidurad::RealFilePath(folder, UnNom);
        ReportTemplate t;
        QString error;
        if (path.isEmpty())
            throw AppException(AppException::FileNotFound,
                               QStringLiteral("Le modèle de rapport %1 est introuvable.").arg(folder + UnNom));
        if (!ReportTemplate::parse(path, &t, &error))
            throw AppException(AppException::FileNotFound, error);
        // 2. to 4.
        auto db = Database::open(m_settings);
        Recordset info(*db, QStringLiteral("InfoEtat"));
        if (info.RecordCount() == 0)
            info.AddNew();
        info.setValue(QStringLiteral("Titre"), TitreRep);
        info.setValue(QStringLiteral("Periode"), QStringLiteral("Période du %1 au %2").arg(TextDebut, TextFin));
        info.Update();
        const auto table = [&](const QString& name) { return db->query(QStringLiteral("SELECT * FROM ") + name); };
        // 5.
        QList<ResultTable> tables;
        if (Table.contains(QLatin1String("CA")) && UnNom.compare(QLatin1String("ConsUnSalarie.rpt"), Qt::CaseSensitive) != 0) {
            tables << (CaRows ? *CaRows : table(QStringLiteral("CA"))) << table(QStringLiteral("InfoEtat"))
                   << table(QStringLiteral("InfoSociete"));
        } else if (Table.isEmpty()) {
            for (const char* n : {"ArticleEnStock", "Familles", "Fournisseur", "InfoSociete", "InfoEtat"})
                tables << table(QString::fromLatin1(n));
        } else if (Table != QLatin1String("GrUtilisateur")) {
            tables << table(Table) << table(QStringLiteral("InfoEtat")) << table(QStringLiteral("InfoSociete"));
        } else {
            tables << table(QStringLiteral("GrUtilisateur")) << table(QStringLiteral("InfoSociete"));
        }
        if (!ReportLayout::build(t, tables, &m_layout, &error))
            throw AppException(AppException::FileNotFound, error);
        // 6. and 7.
        setWindowTitle(TitreRep);
        m_page = 0;
        refreshPage();
        return true;
    } catch (const AppException& e) {
        m_ui.message(QStringLiteral("%1 %2").arg(e.description()).arg(e.number()), QString(), Ui::Icon::None, Ui::Buttons::Ok);
        return false;
    }
}

void FenCrystalRep::setPage(int page)
{
    if (page < 0 || page >= m_layout.pages.size())
        return;
    m_page = page;
    refreshPage();
}

void FenCrystalRep::setZoom(double zoom)
{
    m_zoom = qBound(0.25, zoom, 4.0);
    refreshPage();
}

void FenCrystalRep::refreshPage()
{
    m_pageLabel->setText(QStringLiteral("Page %1 / %2").arg(m_layout.pages.isEmpty() ? 0 : m_page + 1).arg(m_layout.pages.size()));
    m_view->resize(m_view->sizeHint());
    m_view->update();
}

void FenCrystalRep::CmdEmail_Click()
{
    const QString to = m_email->text().trimmed();
    if (to.isEmpty() || !to.contains(u'@'))
        return;
    try {
        const QString pdf = m_settings.ApplicationFolder + QStringLiteral("/test.pdf");
        QString error;
        if (!m_layout.writePdf(pdf, &error))
            throw AppException(75, error);
        PdfMailer mailer(m_settings);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const PdfMailer::Result r = mailer.send(pdf, to, QStringLiteral("Rapport du distributeur automatique d'E.P.I. : "));
        QApplication::restoreOverrideCursor();
        if (r == PdfMailer::Result::Failed)
            throw AppException(-2147467259, mailer.message());
        if (r == PdfMailer::Result::Kept)
            m_ui.message(mailer.message(), QString(), Ui::Icon::Information, Ui::Buttons::Ok);
    } catch (const AppException& e) {
        ErrorReport::ReportError(m_ui, QStringLiteral("CmdEmail_Click"), e);
    }
}

void FenCrystalRep::print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(m_layout.pageSize.width() > m_layout.pageSize.height() ? QPageLayout::Landscape
                                                                                       : QPageLayout::Portrait);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QPainter painter(&printer);
    for (int p = 0; p < m_layout.pages.size(); ++p) {
        if (p > 0)
            printer.newPage();
        m_layout.paint(p, painter, printer.resolution());
    }
}

void FenCrystalRep::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    m_email->setText(m_settings.CompanyEmail);
}

void FenCrystalRep::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    // Each activation proposes the company address again.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        m_email->setText(m_settings.CompanyEmail);
}

void FenCrystalRep::closeEvent(QCloseEvent* event)
{
    m_settings.CompanyEmail = m_email->text();
    QDialog::closeEvent(event);
}

void FenCrystalRep::done(int result)
{
    m_settings.CompanyEmail = m_email->text();
    QDialog::done(result);
}
