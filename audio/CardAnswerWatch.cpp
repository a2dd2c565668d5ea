#include "CardAnswerWatch.h"

namespace {
thread_local CCardAnswerWatch* t_active = nullptr;
}

CCardAnswerWatch::CCardAnswerWatch() : m_previous(t_active)
{
    t_active = this;
}

CCardAnswerWatch::~CCardAnswerWatch()
{
    t_active = m_previous;
}

void CCardAnswerWatch::Note(const char* operation, int answer)
{
    CCardAnswerWatch* watch = t_active;
    if (!watch)
        return;
    ++watch->m_calls;
    if (answer != 0)
        return;
    if (watch->m_refusals++ == 0)
        watch->m_firstRefused = operation;
}
