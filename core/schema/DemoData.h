#pragma once

class Database;

// Fills a new embedded database with a realistic French data set that exercises every
// window: company, families and sizes, suppliers, articles with codes and bar codes,
// machines of every loading mode with their plans and slots, sites, services, profiles,
// employees, and a year of sales and counter issues. Deterministic for a given day.
namespace DemoData {

struct Counts {
    int articles = 0;
    int employees = 0;
    int sales = 0;
    int saleLines = 0;
};

Counts fill(Database& db);

} // namespace DemoData
