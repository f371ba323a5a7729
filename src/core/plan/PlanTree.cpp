#include "plan/PlanTree.h"

#include <algorithm>

int PlanTree::add(PlanNode node, int parent) {
    node.parent = parent;
    const int index = int(nodes.size());
    nodes.push_back(std::move(node));
    (parent < 0 ? roots : nodes[size_t(parent)].children).push_back(index);
    return index;
}

void PlanTree::weigh() {
    if (nodes.empty()) return;
    // what a node measures: its time, else its cost, else the rows it reads
    // (each includes the children's, except rows)
    const bool byTime = std::any_of(nodes.begin(), nodes.end(), [](const PlanNode& n) { return n.timeMs.has_value(); });
    const bool byCost = std::any_of(nodes.begin(), nodes.end(), [](const PlanNode& n) { return n.cost.has_value(); });
    auto total = [&](const PlanNode& n) -> double {
        if (byTime) return n.timeMs.value_or(0);
        if (byCost) return n.cost.value_or(0);
        return n.estimatedRows.value_or(0) * n.loops.value_or(1);
    };
    const bool inclusive = byTime || byCost;
    std::vector<double> own(nodes.size());
    double sum = 0;
    for (size_t i = 0; i < nodes.size(); ++i) {
        double self = total(nodes[i]);
        if (inclusive)
            for (int c : nodes[i].children) self -= total(nodes[size_t(c)]);
        own[i] = std::max(0.0, self);
        sum += own[i];
    }
    if (sum <= 0) {
        // nothing measured (SQLite): scans and temporary sorts are the costly steps
        for (PlanNode& n : nodes)
            n.costly = (n.operation == QLatin1String("SCAN") && !n.detail.contains(QLatin1String("INDEX"))) ||
                       n.operation.startsWith(QLatin1String("USE TEMP"));
        return;
    }
    const size_t largest = size_t(std::max_element(own.begin(), own.end()) - own.begin());
    for (size_t i = 0; i < nodes.size(); ++i) {
        nodes[i].share = own[i] / sum;
        nodes[i].costly = nodes[i].share >= 0.1 || i == largest;
    }
}
