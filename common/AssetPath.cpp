#include "common/AssetPath.h"

#include <QStringList>

namespace {

QStringList pathComponents(const QString& path)
{
    QString text = path;
    text.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return text.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
}

bool isAssets(const QString& component, Qt::CaseSensitivity cs)
{
    return component.compare(QLatin1String("Assets"), cs) == 0;
}

// The cut after the "Assets" component at index assets (-1: none): provider, product and at
// least one more component must follow.
bool cutAfterAssets(const QStringList& components, qsizetype assets, QString& provider, QString& product,
                    QString& rest)
{
    provider.clear();
    product.clear();
    rest.clear();
    if (assets < 0 || components.size() - assets < 4)
        return false;
    provider = components.at(assets + 1);
    product = components.at(assets + 2);
    rest = components.mid(assets + 3).join(QLatin1Char('\\'));
    return true;
}

qsizetype firstAssets(const QStringList& components, Qt::CaseSensitivity cs)
{
    for (qsizetype i = 0; i < components.size(); ++i) {
        if (isAssets(components.at(i), cs))
            return i;
    }
    return -1;
}

} // namespace

bool SplitAssetPath(const QString& path, QString& provider, QString& product, QString& rest)
{
    const QStringList components = pathComponents(path);
    if (!cutAfterAssets(components, firstAssets(components, Qt::CaseSensitive), provider, product, rest))
        return false;
    if (rest.endsWith(QStringLiteral("bin")))
        rest = rest.left(rest.size() - 3) + QStringLiteral("xml");
    return true;
}

bool SplitAssetPath(const QString& path, const QString& gamePath, QString& provider, QString& product,
                    QString& rest)
{
    const QStringList components = pathComponents(path);
    qsizetype assets = -1;
    // The game folder's own "Assets" first: a game folder whose path holds an "Assets"
    // component must not cut the path there.
    const QStringList game = pathComponents(gamePath);
    if (!game.isEmpty() && components.size() > game.size() && isAssets(components.at(game.size()), Qt::CaseInsensitive)) {
        bool same = true;
        for (qsizetype i = 0; i < game.size() && same; ++i)
            same = components.at(i).compare(game.at(i), Qt::CaseInsensitive) == 0;
        if (same)
            assets = game.size();
    }
    if (assets < 0)
        assets = firstAssets(components, Qt::CaseInsensitive);
    return cutAfterAssets(components, assets, provider, product, rest);
}
