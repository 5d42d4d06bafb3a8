#pragma once

#include "model/Error.h"

namespace kolu {

// Why a user's station could not be saved; description() is the sentence
// the settings page shows.
class QuranCustomStationError : public Error {
public:
    enum class Case {
        MissingName,
        InvalidStreamURL,
    };

    explicit QuranCustomStationError(Case which);
    ~QuranCustomStationError() override;

    Case which() const { return m_case; }

    friend bool operator==(const QuranCustomStationError &a, const QuranCustomStationError &b)
    {
        return a.m_case == b.m_case;
    }

private:
    Case m_case;
};

} // namespace kolu
