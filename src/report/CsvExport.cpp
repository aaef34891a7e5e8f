#include "report/CsvExport.h"

#include <QDir>
#include <QSaveFile>
#include <charconv>
#include <cmath>

#include "core/Conversions.h"
#include "core/Dialogs.h"
#include "core/Errors.h"

namespace {

const QString LineEnd = QStringLiteral("\r\n");

QString Number(float x)
{
    if (!std::isfinite(x))
        return QString();
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, x);
    return QString::fromLatin1(buffer, static_cast<int>(result.ptr - buffer));
}

QString Deviation(float v, float nominal)
{
    if (!std::isfinite(v))
        return QString();
    return FormatFixed((static_cast<double>(v) - nominal) / nominal * 100, 15, 3);
}

QString Row(const QStringList& fields) { return fields.join(u',') + LineEnd; }

// A load map as rows of (row, column, then the fields of every rail); `cell` adds the fields of
// rail k at a point and says whether that rail was measured there. A point measured on no rail
// has no row; a map without any row gives no text at all.
template <typename Cell>
QString GridCsv(const QStringList& units, Cell&& cell)
{
    QString rows;
    for (int r = 1; r <= GridRows; ++r)
        for (int c = 1; c <= GridColumns; ++c) {
            bool sent = false;
            QStringList fields{QString::number(r), QString::number(c)};
            for (int k = 1; k <= LoadChannelCount; ++k)
                sent = cell(k, r, c, fields) || sent;
            if (sent)
                rows += Row(fields);
        }
    if (rows.isEmpty())
        return rows;
    QStringList header{QStringLiteral("row"), QStringLiteral("column")};
    for (int k = 1; k <= LoadChannelCount; ++k)
        for (const QString& unit : units)
            header << LoadChannelNames[k] + unit;
    return Row(header) + rows;
}

} // namespace

const TCsvFile CsvFiles[4] = {
    {"crossload.csv", CrossLoadCsv},
    {"noise.csv", NoiseCsv},
    {"efficiency.csv", EfficiencyCsv},
    {"standby.csv", StandbyCsv},
};

QString CrossLoadCsv(const TResultStore& store)
{
    return GridCsv({QStringLiteral(" V"), QStringLiteral(" A"), QStringLiteral(" deviation %")},
                   [&](int k, int r, int c, QStringList& fields) {
                       const CrossLoadPoint& p = store.CrossLoadGrid[k][r][c];
                       fields << Number(p.voltage) << Number(p.current) << Deviation(p.voltage, NominalVoltage[k]);
                       return p.voltage != 0;
                   });
}

QString NoiseCsv(const TResultStore& store)
{
    return GridCsv({QStringLiteral(" mV")}, [&](int k, int r, int c, QStringList& fields) {
        const uint16_t mv = store.NoiseGrid[k][r][c];
        fields << QString::number(mv);
        return mv != 0;
    });
}

QString EfficiencyCsv(const TResultStore& store)
{
    QString rows;
    for (int s = 0; s < RunSteps; ++s) {
        const EfficiencyPoint& ratio = store.EfficiencyRun.ratios[s];
        const ThermalPoint& thermal = store.EfficiencyRun.thermal[s];
        if (ratio.powerFactor == 0 && ratio.efficiency == 0 && thermal.temperature == 0 && thermal.fan1Speed == 0 &&
            thermal.fan2Speed == 0)
            continue;
        rows += Row({QString::number(s), FormatFixed(ratio.powerFactor / 100.0, 15, 2), QString::number(ratio.efficiency),
                     Number(thermal.temperature), QString::number(thermal.fan1Speed),
                     QString::number(thermal.fan2Speed)});
    }
    if (rows.isEmpty())
        return rows;
    return Row({QStringLiteral("step"), QStringLiteral("power factor"), QStringLiteral("efficiency %"),
                QStringLiteral("temperature °C"), QStringLiteral("fan 1 RPM"), QStringLiteral("fan 2 RPM")}) +
           rows;
}

QString StandbyCsv(const TResultStore& store)
{
    QString rows;
    for (int s = 0; s < RunSteps; ++s) {
        const StandbyPoint& p = store.StandbyRun[s];
        if (p.voltage == 0 && p.current == 0)
            continue;
        rows += Row({QString::number(s), Number(p.voltage), Number(p.current)});
    }
    if (rows.isEmpty())
        return rows;
    return Row({QStringLiteral("step"), QStringLiteral("voltage V"), QStringLiteral("current A")}) + rows;
}

QStringList WriteCsvFiles(const QString& folder, const TResultStore& store)
{
    QStringList written;
    for (const TCsvFile& csv : CsvFiles) {
        const QString text = csv.Text(store);
        if (text.isEmpty())
            continue;
        const QString path = QDir(folder).filePath(QString::fromLatin1(csv.Name));
        QSaveFile file(path);
        const QByteArray bytes = text.toUtf8();
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
            throw Exception(QStringLiteral("Cannot write file \"%1\". %2")
                                .arg(QDir::toNativeSeparators(path), file.errorString()));
        written << QString::fromLatin1(csv.Name);
    }
    return written;
}

void ExportCsvClick()
{
    QString folder;
    if (!ChooseFolder(folder))
        return;
    const QStringList written = WriteCsvFiles(folder, ResultStore);
    if (written.isEmpty())
        ShowMessage(QStringLiteral("There are no results to export."));
    else
        ShowMessage(QStringLiteral("Exported to %1: %2").arg(QDir::toNativeSeparators(folder), written.join(QStringLiteral(", "))));
}
