#include "platform/desktop/ribbon/RibbonMarkup.h"

#include <QXmlStreamReader>

namespace vorra::desktop {

namespace {

std::string attribute(const QXmlStreamReader& xml, const char* name) {
    return xml.attributes().value(QString::fromLatin1(name)).toString().toStdString();
}

}  // namespace

RibbonDefinition parseRibbonMarkup(const std::string& markup) {
    RibbonDefinition definition;
    if (markup.empty()) return definition;
    QXmlStreamReader xml(QByteArray::fromStdString(markup));
    RibbonTab* tab = nullptr;
    RibbonGroup* group = nullptr;
    bool rootSeen = false;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        const auto name = xml.name();
        if (!rootSeen) {
            if (name != QLatin1String("customUI"))
                throw RibbonMarkupError("the root element is " + name.toString().toStdString() +
                                        ", not customUI");
            rootSeen = true;
        } else if (name == QLatin1String("tab")) {
            definition.tabs.push_back({attribute(xml, "id"), attribute(xml, "label"),
                                       attribute(xml, "insertBeforeMso"), {}});
            tab = &definition.tabs.back();
            group = nullptr;
        } else if (name == QLatin1String("group") && tab) {
            tab->groups.push_back({attribute(xml, "id"), attribute(xml, "label"), {}});
            group = &tab->groups.back();
        } else if (name == QLatin1String("button") && group) {
            group->buttons.push_back({attribute(xml, "id"), attribute(xml, "label"),
                                      attribute(xml, "size"), attribute(xml, "onAction"),
                                      attribute(xml, "imageMso"), attribute(xml, "screentip"),
                                      attribute(xml, "supertip")});
        }
    }
    if (xml.hasError())
        throw RibbonMarkupError("line " + std::to_string(xml.lineNumber()) + ": " +
                                xml.errorString().toStdString());
    if (!rootSeen) throw RibbonMarkupError("no customUI element");
    return definition;
}

}  // namespace vorra::desktop
