#include "common/AssetPath.h"

#include <QStringList>

bool SplitAssetPath(const QString& path, QString& provider, QString& product, QString& rest)
{
    provider.clear();
    product.clear();
    rest.clear();
    QString text = path;
    text.replace(QLatin1Char('/'), QLatin1Char('\\'));
    const QStringList components = text.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    const qsizetype assets = components.indexOf(QStringLiteral("Assets"));
    // Provider, product and at least one more component must follow.
    if (assets < 0 || components.size() - assets < 4)
        return false;
    provider = components.at(assets + 1);
    product = components.at(assets + 2);
    rest = components.mid(assets + 3).join(QLatin1Char('\\'));
    if (rest.endsWith(QStringLiteral("bin")))
        rest = rest.left(rest.size() - 3) + QStringLiteral("xml");
    return true;
}
