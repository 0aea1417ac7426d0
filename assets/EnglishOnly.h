#pragma once
// "Make English Only": every localised text of the selected blueprints keeps its English entry
// and loses the entries after it. Each blueprint is edited in place through the edit pipeline
// (converted, cut, converted back, then put in place of the game file after it was moved to its
// backup name). No window here; messages go through the Ui seam.

#include "assets/BlueprintPipeline.h"

#include <QString>

#include <functional>
#include <vector>

namespace assets {

// The cut on one XML text. After each "</English>" (any case) the character that follows the
// tag stays (the carriage return of a CR LF line, or the line feed of an LF line); from the
// character after it up to the last line feed before the next "</Localisation" everything
// goes, so the English line is followed directly by the line that closes the element.
// Text that the cut cannot tell apart safely is kept as it is:
//  - an entry whose "</English>" does not end its line (another element or the closing tag
//    after it on the same line), or with no line feed between the removal start and the
//    closing tag (an English entry already last, lines ended by LF alone), is not cut, and
//    the search goes on after it;
//  - a "</English>" with no "</Localisation" after it ends the cut, the rest unchanged.
// afterCut, when given, is called after each "</English>" handled (the window processes its
// pending messages there). The text is built in one pass, whatever the number of entries.
QString EnglishOnlyText(const QString& text, const std::function<void()>& afterCut = {});

// The edit of one row: the cut text, always written back in place with a backup (a text
// without "</English>" comes back unchanged and still replaces the game file).
EditResult EnglishOnlyEdit(const RowPaths& row, const QString& text);

// The whole command: its confirmation, the selection and product checks, the clean-up of the
// work files; no "BluePrints.pak" deletion and no closing message.
PipelineResult MakeEnglishOnly(const std::vector<SelectedRow>& rows, const QString& gamePath,
                               const PipelineHooks& hooks = PipelineHooks());

QString EnglishOnlyWarning();

} // namespace assets
