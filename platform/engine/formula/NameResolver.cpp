#include "platform/engine/formula/NameResolver.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string_view>

#include "platform/engine/formula/FunctionTable.h"
#include "platform/engine/formula/Parser.h"

namespace vorra::engine::formula {

namespace {

// Names may refer to names; a chain longer than this (or a loop) gives #NAME?.
constexpr int kMaxNameChain = 8;
// Names used more often than this in one formula (after expansion) give #NAME?, so
// that names referring to names several times cannot blow a formula up.
constexpr int kMaxNameUses = 1024;

bool sameNameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

class Resolver {
public:
    Resolver(const WorkbookModel& model, ArityCheck arity) : model_(model), arity_(arity) {}

    void bind(Node& node, int sheet, int chain) {
        switch (node.kind) {
            case NodeKind::Reference: bindReference(node, sheet); return;
            case NodeKind::Name: bindName(node, sheet, chain); return;
            case NodeKind::Function: bindFunction(node); break;
            default: break;
        }
        // ROW(A1) and its kind read where a reference lies, not its cell: no precedent
        // (so =ROW(A1) in A1 is no circular reference).
        bool addressOnly = node.kind == NodeKind::Function && node.function && node.function->addressOnly;
        for (auto& child : node.children) {
            if (addressOnly && child->kind == NodeKind::Reference) bindReference(*child, sheet, false);
            else bind(*child, sheet, chain);
        }
        if (node.kind == NodeKind::Range) readSpan(node);
    }

    Binding result;

private:
    void toError(Node& node, ErrorValue e) {
        node.kind = NodeKind::Constant;
        node.value = Value::error(e);
        node.children.clear();
    }

    void bindReference(Node& node, int sheet, bool precedent = true) {
        // Other workbooks are not open here: their cells cannot be read.
        if (!node.book.empty()) return toError(node, ErrorValue::Ref);
        node.sheet = node.hasSheet ? model_.sheetIndex(node.name) : sheet;
        if (node.sheet < 0) return toError(node, ErrorValue::Ref);
        if (precedent) result.precedents.push_back({node.sheet, node.area});
    }

    const DefinedName* findName(const std::string& name, int sheet) const {
        const DefinedName* global = nullptr;
        for (const auto& n : model_.names) {
            if (!sameNameIgnoringCase(n.name, name)) continue;
            if (n.localSheet == sheet) return &n;
            if (n.localSheet < 0) global = &n;
        }
        return global;
    }

    // A range whose ends are computed (A1:INDEX(B1:B9,n)) reads what lies between the
    // references it is built from: their bounding area is a precedent too.
    void readSpan(const Node& node) {
        std::optional<RangeRef> span;
        auto visit = [&](const Node& n, auto& self) -> void {
            if (n.kind == NodeKind::Reference && n.sheet >= 0) {
                if (!span) span = RangeRef{n.sheet, n.area};
                else if (span->sheet == n.sheet)
                    span->area = {std::min(span->area.top, n.area.top), std::min(span->area.left, n.area.left),
                                  std::max(span->area.bottom, n.area.bottom), std::max(span->area.right, n.area.right)};
            }
            for (const auto& c : n.children) self(*c, self);
        };
        visit(node, visit);
        if (span) result.precedents.push_back(*span);
    }

    void bindName(Node& node, int sheet, int chain) {
        if (!node.book.empty()) return toError(node, ErrorValue::Ref);
        int scope = sheet;
        if (node.hasSheet) {
            scope = model_.sheetIndex(node.value.isText() ? node.value.asText() : std::string());
            if (scope < 0) return toError(node, ErrorValue::Ref);
        }
        const DefinedName* name = findName(node.name, scope);
        if (!name || chain >= kMaxNameChain || ++uses_ > kMaxNameUses) return toError(node, ErrorValue::Name);
        std::string text = name->refersTo;
        if (!text.empty() && text.front() == '=') text.erase(0, 1);
        NodePtr replacement;
        try {
            replacement = parseFormula(text);
        } catch (const FormulaSyntaxError&) {
            return toError(node, ErrorValue::Name);
        }
        int nameSheet = name->localSheet >= 0 ? name->localSheet : scope;
        bind(*replacement, nameSheet, chain + 1);
        node = std::move(*replacement);
    }

    void bindFunction(Node& node) {
        // Files spell newer functions with a prefix ("_xlfn.IFNA").
        constexpr std::string_view kNewer = "_XLFN.";
        std::string_view name = node.name;
        if (name.substr(0, kNewer.size()) == kNewer) name.remove_prefix(kNewer.size());
        const FunctionInfo* info = findFunction(name);
        if (!info) return toError(node, ErrorValue::Name);
        int n = static_cast<int>(node.children.size());
        if (!acceptsArgumentCount(*info, n)) {
            if (arity_ == ArityCheck::Refuse)
                throw FormulaSyntaxError("Wrong number of arguments: " + argumentCountProblem(*info, n));
            return toError(node, ErrorValue::Value);
        }
        node.function = info;
        if (info->isVolatile) result.isVolatile = true;
    }

    const WorkbookModel& model_;
    ArityCheck arity_;
    int uses_ = 0;
};

// Height of the tree after names were replaced.
int height(const Node& node) {
    int h = 0;
    for (const auto& c : node.children) h = std::max(h, height(*c));
    return h + 1;
}

}  // namespace

Binding resolveNames(Node& root, const WorkbookModel& model, int sheet, ArityCheck arity) {
    Resolver r(model, arity);
    r.bind(root, sheet, 0);
    // Names expanded inside deep formulas may make the tree deeper than a parsed one
    // can be; evaluation recurses over it, so such a formula gives #NAME?.
    if (height(root) > 2 * kMaxExpressionDepth) {
        root.kind = NodeKind::Constant;
        root.value = Value::error(ErrorValue::Name);
        root.children.clear();
        return {};
    }
    return std::move(r.result);
}

}  // namespace vorra::engine::formula
