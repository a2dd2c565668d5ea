#pragma once
// Looks at the card library's answers while it lives. The pages call the
// library fire-and-forget; a re-application of the card's settings needs to
// know whether the card took them (right after a resume it may refuse every
// call for a moment), and opens a watch around the pages' usual calls instead
// of giving each of them an answer to pass back.
//
// A call the library carried out answers nonzero; a refused call answers 0
// (so does every call while the library is missing). One watch per thread
// is active: the newest; it hands over to the one before when it ends.
class CCardAnswerWatch {
public:
    CCardAnswerWatch();
    ~CCardAnswerWatch();
    CCardAnswerWatch(const CCardAnswerWatch&) = delete;
    CCardAnswerWatch& operator=(const CCardAnswerWatch&) = delete;

    unsigned Calls() const { return m_calls; }
    unsigned Refusals() const { return m_refusals; }
    // The operation the card refused first ("CMSUP_SetEQStatus"), or null.
    const char* FirstRefused() const { return m_firstRefused; }

    // Called by the card library after each operation.
    static void Note(const char* operation, int answer);

private:
    CCardAnswerWatch* m_previous;
    unsigned m_calls = 0;
    unsigned m_refusals = 0;
    const char* m_firstRefused = nullptr;
};
