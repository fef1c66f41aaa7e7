#include "Windows.h"

#include "AppException.h"
#include "ErrorReport.h"
#include "FrmPrincipal.h"
#include "FrmStock.h"

#include <QApplication>

Windows::Windows(FrmPrincipal& main, Ui& ui, AppSettings& settings)
{
    // The article window is loaded hidden at start, so that its first display is quick.
    try {
        m_stock = std::make_unique<FrmStock>(ui, settings, &main);
    } catch (const AppException& e) {
        ErrorReport::ReportError(ui, QStringLiteral("Form load frm principale"), e);
    }
    if (m_stock) {
        FrmStock* stock = m_stock.get();
        main.setOpener(QStringLiteral("CmdStock"), [stock] {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            stock->DBGridStockVisible();
            stock->show();
            stock->raise();
            QApplication::restoreOverrideCursor();
        });
    }
}

Windows::~Windows() = default;
