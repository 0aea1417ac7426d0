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

namespace {

QStringList pathComponents(const QString& path)
{
    QString text = path;
    text.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return text.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
}

bool isAssets(const QString& component)
{
    return component.compare(QLatin1String("Assets"), Qt::CaseInsensitive) == 0;
}

} // namespace

bool SplitAssetPath(const QString& path, const QString& gamePath, QString& provider, QString& product,
                    QString& rest)
{
    provider.clear();
    product.clear();
    rest.clear();
    const QStringList components = pathComponents(path);
    qsizetype assets = -1;
    // The game folder's own "Assets" first: a game folder whose path holds an "Assets"
    // component must not cut the path there.
    const QStringList game = pathComponents(gamePath);
    if (!game.isEmpty() && components.size() > game.size() && isAssets(components.at(game.size()))) {
        bool same = true;
        for (qsizetype i = 0; i < game.size() && same; ++i)
            same = components.at(i).compare(game.at(i), Qt::CaseInsensitive) == 0;
        if (same)
            assets = game.size();
    }
    for (qsizetype i = 0; assets < 0 && i < components.size(); ++i) {
        if (isAssets(components.at(i)))
            assets = i;
    }
    if (assets < 0 || components.size() - assets < 4)
        return false;
    provider = components.at(assets + 1);
    product = components.at(assets + 2);
    rest = components.mid(assets + 3).join(QLatin1Char('\\'));
    return true;
}
