#include "curves/HeadedTable.h"

#include "base/Failure.h"
#include "curves/DelimitedText.h"

#include <cmath>

namespace tessaly {

std::string importLimitText() {
    return "More than " + std::to_string(kMaxImportPoints) + " data points: the curve store holds at most " +
           std::to_string(kMaxImportPoints) + " points";
}

ColumnRoles rolesFromNames(const std::vector<std::string_view>& names) {
    ColumnRoles r;
    int ePreference = -1;
    int iPreference = -1;
    std::vector<Quantity> kinds;
    for (std::size_t k = 0; k < names.size(); ++k) {
        const ColumnMeaning m = columnMeaning(names[k]);
        kinds.push_back(m.quantity);
        const int column = static_cast<int>(k);
        switch (m.quantity) {
        case Quantity::Potential:
            if (m.preference > ePreference) {
                r.E = column;
                r.eFactor = m.factor;
                ePreference = m.preference;
            }
            break;
        case Quantity::Current:
            if (m.preference > iPreference) {
                r.I = column;
                r.iFactor = m.factor;
                iPreference = m.preference;
            }
            break;
        case Quantity::Time:
            if (r.t < 0) {
                r.t = column;
                r.tFactor = m.factor;
            }
            break;
        case Quantity::Cycle:
            if (r.cycle < 0)
                r.cycle = column;
            break;
        case Quantity::Unknown:
            break;
        }
    }
    // Scans side by side: potential, current, potential, current, ... and nothing else.
    while (!kinds.empty() && kinds.back() == Quantity::Unknown && names[kinds.size() - 1].empty())
        kinds.pop_back();
    if (kinds.size() >= 4 && kinds.size() % 2 == 0) {
        bool paired = true;
        for (std::size_t k = 0; k < kinds.size(); k += 2)
            paired = paired && kinds[k] == Quantity::Potential && kinds[k + 1] == Quantity::Current;
        if (paired) {
            r.E = 0;
            r.I = 1;
            r.pairs = static_cast<int>(kinds.size() / 2);
        }
    }
    return r;
}

std::size_t firstDataLine(const std::vector<std::string_view>& lines, std::size_t from, char delimiter,
                          bool decimalComma) {
    for (std::size_t n = from; n < lines.size(); ++n) {
        int numbers = 0;
        bool text = false;
        for (std::string_view f : splitFields(lines[n], delimiter)) {
            if (f.empty())
                continue;
            if (parseDecimal(f, decimalComma))
                ++numbers;
            else
                text = true;
        }
        if (numbers >= 2 && !text)
            return n;
    }
    return lines.size();
}

void readTableRows(const std::vector<std::string_view>& lines, std::size_t from, std::size_t to, char delimiter,
                   bool decimalComma, const ColumnRoles& roles, MeasuredData& data) {
    std::vector<std::vector<double>> scanE(static_cast<std::size_t>(roles.pairs));
    std::vector<std::vector<double>> scanI(static_cast<std::size_t>(roles.pairs));
    for (std::size_t n = from; n < to && n < lines.size(); ++n) {
        const std::vector<std::string_view> f = splitFields(lines[n], delimiter);
        const auto field = [&](int k) -> std::optional<double> {
            if (k < 0 || static_cast<std::size_t>(k) >= f.size())
                return std::nullopt;
            return parseDecimal(f[static_cast<std::size_t>(k)], decimalComma);
        };
        if (roles.pairs > 1) {
            for (int p = 0; p < roles.pairs; ++p) {
                const auto e = field(2 * p);
                const auto i = field(2 * p + 1);
                if (e && i) {
                    scanE[static_cast<std::size_t>(p)].push_back(*e * roles.eFactor);
                    scanI[static_cast<std::size_t>(p)].push_back(*i * roles.iFactor);
                }
            }
            continue;
        }
        const auto e = field(roles.E);
        const auto i = field(roles.I);
        if (!e || !i)
            continue; // a row without numbers: padding, a comment, a repeated header
        if (data.rows() >= kMaxImportPoints)
            raise(importLimitText());
        const auto t = field(roles.t);
        const auto c = field(roles.cycle);
        const double time = t ? *t * roles.tFactor : 0.0;
        const int cycle = c ? static_cast<int>(std::lround(*c)) : 0;
        data.add(*e * roles.eFactor, *i * roles.iFactor, roles.t >= 0 ? &time : nullptr,
                 roles.cycle >= 0 ? &cycle : nullptr);
    }
    if (roles.pairs > 1) {
        for (int p = 0; p < roles.pairs; ++p) {
            const auto& es = scanE[static_cast<std::size_t>(p)];
            const auto& is = scanI[static_cast<std::size_t>(p)];
            if (data.rows() + static_cast<long long>(es.size()) > kMaxImportPoints)
                raise(importLimitText());
            const int cycle = p + 1;
            for (std::size_t k = 0; k < es.size(); ++k)
                data.add(es[k], is[k], nullptr, &cycle);
        }
    }
}

} // namespace tessaly
