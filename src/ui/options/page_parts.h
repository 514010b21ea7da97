#pragma once

#include <QString>

class QComboBox;
class QFont;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QVBoxLayout;
class QWidget;

namespace velmora::ui {

// The options dialogs' font: "Tahoma" at 11 pixels; where it is missing, the font system picks
// its sans-serif substitute.
QFont OptionsFont();

// A page's layout, in which its groups stand one below the other with the pages' margins.
QVBoxLayout* PageLayout(QWidget* page);

// Adds a group to a page: its icon at the left, the bold caption followed by a rule, and below
// the caption a grid for the group's controls, which is returned.
QGridLayout* AddGroup(QVBoxLayout* page, const QString& artwork, const QString& caption);

// A label for `buddy`, whose mnemonic moves the focus there and which names it for screen readers.
QLabel* BuddyLabel(const QString& text, QWidget* buddy);

// The radio buttons of a row of choices go into the returned layout, which stands in `grid`'s
// `row` right of the label `text`. Its widget bears the label's name, so that screen readers
// name the group of the buttons.
QHBoxLayout* ChoiceRow(QGridLayout* grid, int row, const QString& text);

// The item data of the selected item, or -1 when nothing is selected.
int SelectedData(const QComboBox* combo);
// Selects the item whose data is `value`; false (and the selection unchanged) when none has it.
bool SelectData(QComboBox* combo, int value);

// Tells the user why their input is refused: a warning box titled "Velmora".
void ShowRefusal(QWidget* parent, const QString& text);

}  // namespace velmora::ui
