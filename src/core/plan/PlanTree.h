#pragma once
// A query plan as a tree the plan pane shows: one node per step the server
// takes (a scan, a join, a sort, …) with the table it reads, its estimated
// and actual rows, its cost or time and how often it ran. Nodes live in one
// flat array, children by index, so a plan of thousands of steps is a few
// allocations.
//
// Each node's share is the part of the whole plan spent in the node itself
// (its time without its children's when the plan was measured, else its
// cost, else its estimated rows); the costliest nodes are those the pane
// marks.

#include "db/ServerFamily.h"

#include <QString>

#include <optional>
#include <vector>

struct PlanNode {
    QString operation; // "Hash Join", "Seq Scan", "ALL", "SCAN", …
    QString relation;  // the table (with its alias) the step reads; empty for others
    QString detail;    // conditions, keys, sort keys: one line each
    std::optional<double> estimatedRows;
    std::optional<double> actualRows; // per loop, as the server counts them
    std::optional<double> cost;       // the server's total cost of the node and its children
    std::optional<double> timeMs;     // measured time of the node and its children, all loops
    std::optional<double> loops;
    int parent = -1;
    std::vector<int> children;
    double share = 0;     // the node's own part of the plan, 0…1
    bool costly = false;  // one of the nodes that take most of the plan
};

struct PlanTree {
    db::ServerFamily server = db::ServerFamily::Other;
    bool analyzed = false;      // measured (EXPLAIN ANALYZE): actual rows and times
    std::vector<PlanNode> nodes;
    std::vector<int> roots;     // top-level nodes
    QString rawText;            // the plan as the server wrote it
    std::optional<double> planningMs, executionMs;

    bool empty() const { return nodes.empty(); }
    // Adds a node under parent (-1: a root); returns its index.
    int add(PlanNode node, int parent);
    // Works out every node's share and marks the costliest: those with at
    // least a tenth of the plan, and the largest one in any case.
    void weigh();
};
