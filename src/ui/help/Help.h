#pragma once
// The bundled user guide: HTML pages shipped as resources under :/help,
// shown in the help window. Other windows open it at a topic, a page name
// such as "f_objects.htm" (optionally with "#anchor"); the empty topic is
// the contents page.

#include <QString>
#include <QStringList>
#include <QUrl>

class HelpWindow;
class QWidget;

namespace help {

// The topics other windows open.
inline constexpr const char* kObjectsTopic = "f_objects.htm";
inline constexpr const char* kTemplatesTopic = "f_templates.htm";
inline constexpr const char* kSettingsTopic = "f_settings.htm";
inline constexpr const char* kAdvancedSettingsTopic = "f_settings_adv.htm";
inline constexpr const char* kConnectionTopic = "f_connection.htm";
inline constexpr const char* kKeysTopic = "f_keys.htm";
inline constexpr const char* kContentsPage = "contents.htm";

// The page of topic ("" for the contents); an empty URL when the help has
// no such page.
QUrl topicUrl(const QString& topic);

// Shows the help window at topic, over owner's window. A topic without a
// page gives the message box "Unable to launch HTML Help, or the topic you
// requested does not exist" instead.
void showHelp(QWidget* owner, const QString& topic = QString());

// The message box text for a missing topic.
QString missingTopicMessage();

// The help window once it has been shown (nullptr before, or after its
// owner went).
HelpWindow* currentWindow();

// The guide's pages in the order of the contents page, each as "file.htm".
QStringList pages();

} // namespace help
