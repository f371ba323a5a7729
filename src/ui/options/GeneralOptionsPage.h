#pragma once
// The "General Options" tab of the options dialog: the editor and run
// options of section OPTIONS, with a preview of the chosen editor font.

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;
class SettingsBindings;

class GeneralOptionsPage : public QWidget {
    Q_OBJECT
public:
    // Binds its controls to their keys in bindings.
    GeneralOptionsPage(SettingsBindings& bindings, QWidget* parent = nullptr);

    QComboBox* fontBox() const { return font_; }
    QComboBox* fontSizeBox() const { return fontSize_; }
    QLabel* fontPreview() const { return preview_; }
    QRadioButton* gridButton() const { return grid_; }
    QRadioButton* textButton() const { return text_; }
    QComboBox* themeBox() const { return theme_; }

private:
    QWidget* buildChecks(SettingsBindings& bindings);
    QWidget* buildRowcount(SettingsBindings& bindings);
    QWidget* buildFont(SettingsBindings& bindings);
    QWidget* buildResults(SettingsBindings& bindings);
    QWidget* buildTheme(SettingsBindings& bindings);
    // Shows "name - size" in that font at that size; a size that is not a
    // number keeps the family only.
    void updatePreview();

    QComboBox* font_ = nullptr;
    QComboBox* fontSize_ = nullptr;
    QLabel* preview_ = nullptr;
    QRadioButton* grid_ = nullptr;
    QRadioButton* text_ = nullptr;
    QComboBox* theme_ = nullptr;
};
