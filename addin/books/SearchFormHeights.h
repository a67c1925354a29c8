#pragma once
// How the search forms of the books size themselves: the list grows by one font height
// per row found and the form by 18 twips per point of list; Enter on a search that
// found nothing switches to entry mode, with fixed heights.

#include "addin/frame/dialogs/Controls.h"
#include "addin/frame/dialogs/Form.h"

namespace vorra::books {

struct SearchFormHeights {
    // List height = rows × font size + 30 points.
    static constexpr double kListBase = 30;
    static constexpr double kFormTwipsPerListPoint = 18;

    double emptySearchForm;  // form height (twips) while the search text is empty
    double formBase;         // form height = list height × 18 + formBase (twips)
    double entryForm;        // form height in entry mode (twips)
    double entryList;        // list height in entry mode (points)

    // After a search: the list as tall as its rows, the form as tall as the list, or
    // its empty-search height when there was nothing to search for.
    void fitToList(dialogs::Form& form, dialogs::ListView& list, bool searched) const {
        list.setHeight(list.itemCount() * list.fontSize() + kListBase);
        form.setHeight(searched ? list.height() * kFormTwipsPerListPoint + formBase
                                : emptySearchForm);
    }

    void enterEntryMode(dialogs::Form& form, dialogs::ListView& list) const {
        form.setHeight(entryForm);
        list.setHeight(entryList);
    }
};

}  // namespace vorra::books
