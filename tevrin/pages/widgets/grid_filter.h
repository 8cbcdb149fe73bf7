#pragma once
// The column grid's filter conditions. A condition is alternatives joined by '^' (or), each
// made of terms joined by '&' (and). A term is a comparison "<", ">", "<=", ">=", "=", "<>"
// followed by a value, or a pattern with '*' (any text) and '?' (any character); '!' before
// a pattern negates it. Values that read as numbers, or as dates and times in the user's
// formats, compare as numbers; the rest compare as text, ignoring case. An empty condition
// and "*" pass every cell.
#include <QRegularExpression>
#include <QString>

#include <vector>

class GridCondition {
public:
    GridCondition() = default;
    explicit GridCondition(const QString& text);

    bool PassesAll() const { return passesAll_; }
    // number: the cell as a number when the grid knows it (a date-time cell gives its day
    // count), else nullptr and the text is read.
    bool Matches(const QString& text, const double* number) const;

    // A text as a number: a C-locale number, else a date and time, else false.
    static bool ReadNumber(const QString& text, double& value);

private:
    enum class Op { Pattern, NotPattern, Less, Greater, LessEq, GreaterEq, Equal, NotEqual };
    struct Term {
        Op op = Op::Pattern;
        QString operand;
        bool numeric = false;
        double number = 0;
        QRegularExpression pattern;
    };
    static Term ParseTerm(const QString& text);
    static bool TermMatches(const Term& term, const QString& text, const double* number);

    std::vector<std::vector<Term>> alternatives_;
    bool passesAll_ = true;
};
