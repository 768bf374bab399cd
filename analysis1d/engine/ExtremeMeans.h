#pragma once

// The truncated integer means of the k smallest and the k largest values of
// an array, exactly as a full ascending sort gives them (the means of
// indices 0..k-1 and n-k..n-1, which overlap when n < 2k). Two selections
// instead of the sort: the band outline's threshold needs only these.

#include <vector>

class ExtremeMeans
{
public:
    // values is reordered; needs k >= 1 and at least k values.
    ExtremeMeans(std::vector<int> &values, int k);

    int low() const { return m_low; }
    int high() const { return m_high; }

private:
    int m_low = 0;
    int m_high = 0;
};
