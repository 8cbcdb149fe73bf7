#include "tevrin/pages/widgets/grid_filter.h"

#include "tevrin/pages/widgets/date_text.h"

#include <cmath>

namespace {

bool ReadCNumber(const QString& text, double& value)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);   // QString::toDouble reads the C locale
    if (ok) value = v;
    return ok;
}

}  // namespace

bool GridCondition::ReadNumber(const QString& text, double& value)
{
    if (ReadCNumber(text, value)) return true;
    return datetext::StrToDateTime(text, value);
}

GridCondition::GridCondition(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t == QLatin1String("*")) return;
    for (const QString& alt : t.split(QLatin1Char('^'))) {
        std::vector<Term> terms;
        for (const QString& term : alt.split(QLatin1Char('&'))) {
            const QString trimmed = term.trimmed();
            if (trimmed.isEmpty()) continue;
            terms.push_back(ParseTerm(trimmed));
        }
        if (!terms.empty()) alternatives_.push_back(std::move(terms));
    }
    passesAll_ = alternatives_.empty();
}

GridCondition::Term GridCondition::ParseTerm(const QString& text)
{
    Term term;
    struct Prefix {
        const char* text;
        Op op;
    };
    static const Prefix kPrefixes[] = {{"<=", Op::LessEq}, {">=", Op::GreaterEq}, {"<>", Op::NotEqual},
                                       {"<", Op::Less},    {">", Op::Greater},     {"=", Op::Equal},
                                       {"!", Op::NotPattern}};
    QString operand = text;
    for (const Prefix& p : kPrefixes) {
        if (text.startsWith(QLatin1String(p.text))) {
            term.op = p.op;
            operand = text.mid(static_cast<int>(qstrlen(p.text))).trimmed();
            break;
        }
    }
    term.operand = operand;
    term.numeric = ReadNumber(operand, term.number);
    if (term.op == Op::Pattern || term.op == Op::NotPattern) {
        term.pattern = QRegularExpression(QRegularExpression::wildcardToRegularExpression(
                                              operand, QRegularExpression::UnanchoredWildcardConversion),
                                          QRegularExpression::CaseInsensitiveOption);
        term.pattern.setPattern(QStringLiteral("\\A(?:") + term.pattern.pattern() + QStringLiteral(")\\z"));
        term.pattern.optimize();
    }
    return term;
}

bool GridCondition::TermMatches(const Term& term, const QString& text, const double* number)
{
    switch (term.op) {
    case Op::Pattern: return term.pattern.match(text).hasMatch();
    case Op::NotPattern: return !term.pattern.match(text).hasMatch();
    default: break;
    }
    if (term.numeric) {
        double cell = 0;
        if (number)
            cell = *number;
        else if (!ReadNumber(text, cell))
            return term.op == Op::NotEqual;
        if (std::isnan(cell)) return term.op == Op::NotEqual;
        switch (term.op) {
        case Op::Less: return cell < term.number;
        case Op::Greater: return cell > term.number;
        case Op::LessEq: return cell <= term.number;
        case Op::GreaterEq: return cell >= term.number;
        case Op::Equal: return cell == term.number;
        case Op::NotEqual: return cell != term.number;
        default: return false;
        }
    }
    const int c = QString::compare(text, term.operand, Qt::CaseInsensitive);
    switch (term.op) {
    case Op::Less: return c < 0;
    case Op::Greater: return c > 0;
    case Op::LessEq: return c <= 0;
    case Op::GreaterEq: return c >= 0;
    case Op::Equal: return c == 0;
    case Op::NotEqual: return c != 0;
    default: return false;
    }
}

bool GridCondition::Matches(const QString& text, const double* number) const
{
    if (passesAll_) return true;
    for (const auto& terms : alternatives_) {
        bool all = true;
        for (const Term& t : terms) {
            if (!TermMatches(t, text, number)) {
                all = false;
                break;
            }
        }
        if (all) return true;
    }
    return false;
}
