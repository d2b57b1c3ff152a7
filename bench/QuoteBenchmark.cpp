#include "document/Quote.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// A group of 50 interchangeable parts with every optional column shown.
Quote fiftyParts()
{
    Quote quote;
    quote.shopName = "ООО «Автомаркет Запад»";
    quote.shopAddress = "г. Львов, ул. Городоцкая, 174";
    quote.shopEmail = "zakaz@avtomarket-zapad.com.ua";
    quote.date = QDate(2024, 3, 5);
    quote.searchNumber = "1K0 129 620";
    quote.showUsd = quote.showEur = true;
    quote.rateUsd = "41.25";
    quote.rateEur = "48.10";
    quote.priceDate = "04.03.2024";
    for (int part = 0; part < 50; ++part) {
        PriceRow row;
        row.partNumber = QString("1K0-%1-620.D").arg(part, 3, 10, QChar('0'));
        row.partName = "Фильтр воздушный Volkswagen Golf V вариант " + QString::number(part);
        row.price = 100 + part * 7.35;
        row.priceUsd = *row.price / 41.25;
        row.priceEur = *row.price / 48.10;
        row.stock[size_t(part % 9)] = part % 3;
        quote.rows.push_back(row);
    }
    return quote;
}

void BM_QuotePdf50Parts(benchmark::State& state)
{
    const Quote quote = fiftyParts();
    QTemporaryDir dir;
    for (auto _ : state)
        quote.writePdf(dir.filePath("quote.pdf"));
}
BENCHMARK(BM_QuotePdf50Parts)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
