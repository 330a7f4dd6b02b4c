#pragma once

class DtuSession;

// The pages of the main window, in tab order.
enum class Page { Main, Transparent, Control, Extended };

// What happens each time a page is shown: the write-back question for
// pending edits, then the page's own steps (emptying the modified list,
// selecting the first row, selecting the page's parameter channel).
namespace PageEntry {
void OnPageShown(DtuSession &session, Page page);
}
