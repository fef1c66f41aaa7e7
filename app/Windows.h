#pragma once

#include <memory>

class FrmPrincipal;
class FrmStock;
class Ui;
struct AppSettings;

// The composition root: the windows of the program, made once the main window has
// loaded, and the main window's commands that open them.
class Windows {
public:
    Windows(FrmPrincipal& main, Ui& ui, AppSettings& settings);
    ~Windows();

    FrmStock* stock() const { return m_stock.get(); }

private:
    std::unique_ptr<FrmStock> m_stock;
};
