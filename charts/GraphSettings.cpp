#include "charts/GraphSettings.h"

#include "core/Profile.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString kSection = QStringLiteral("Bar");
const QString kCurve = QStringLiteral("Calorie");
const QString kLimit = QStringLiteral("2TargetColor");
const QString kCursor = QStringLiteral("CurposLineColor");

uint32_t ReadColour(const QString& ini, const QString& key, uint32_t def)
{
    return uint32_t(Profile::Atoi(Profile::GetString(ini, kSection, key, QString::number(def))));
}

bool WriteColour(const QString& ini, const QString& key, uint32_t value)
{
    return Profile::WriteString(ini, kSection, key, QString::number(int32_t(value)));  // "%d"
}

}  // namespace

ChartColours ReadGraphColours(const QString& iniPath)
{
    const ChartColours def;
    return {ReadColour(iniPath, kCurve, def.curve), ReadColour(iniPath, kLimit, def.limit),
            ReadColour(iniPath, kCursor, def.cursor)};
}

bool WriteGraphColours(const QString& iniPath, const ChartColours& colours)
{
    if (!QDir().mkpath(QFileInfo(iniPath).absolutePath()))
        return false;
    // Each key on its own, so one that fails does not keep the others from being kept.
    bool ok = WriteColour(iniPath, kCurve, colours.curve);
    ok = WriteColour(iniPath, kLimit, colours.limit) && ok;
    ok = WriteColour(iniPath, kCursor, colours.cursor) && ok;
    return ok;
}
