#pragma once

#include "ReportLayout.h"

#include <QDialog>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class Ui;
struct AppSettings;

// The report viewer: opens a template of the report folder, attaches its data as the
// system does, writes the title and the period into InfoEtat, shows the pages, prints
// them, and mails the report as a PDF to the address typed above it.
class FenCrystalRep : public QDialog {
    Q_OBJECT
public:
    FenCrystalRep(Ui& ui, AppSettings& settings, QWidget* parent = nullptr);
    ~FenCrystalRep() override;

    // The period of the report window (dd/mm/yyyy texts), printed in InfoEtat.Periode.
    QString TextDebut;
    QString TextFin;
    // The rows of CA as the report window left them; read from the table when unset.
    std::optional<ResultTable> CaRows;

    // False after showing description & " " & number: the caller then closes the window.
    bool ImprimerEtat2(const QString& UnNom, const QString& ASelectionFormula, const QString& TitreRep,
                       const QString& Table);

    const ReportLayout& layout() const { return m_layout; }
    int currentPage() const { return m_page; }
    void setPage(int page);
    void setZoom(double zoom);

    // "  Envoie fichier PDF".
    void CmdEmail_Click();
    // Prints through the print dialog.
    void print();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void done(int result) override;

private:
    void refreshPage();

    Ui& m_ui;
    AppSettings& m_settings;
    ReportLayout m_layout;
    int m_page = 0;
    double m_zoom = 1.0;
    QLineEdit* m_email;
    QPushButton* m_send;
    QLabel* m_pageLabel;
    QComboBox* m_zoomBox;
    QScrollArea* m_scroll;
    QWidget* m_view;
};
