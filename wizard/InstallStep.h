#pragma once

class InstallStepsComponent;

// What every wizard page is besides a component: whether the wizard may go on from it,
// and the step controller it belongs to.
class InstallStep
{
public:
    explicit InstallStep (InstallStepsComponent* parentSteps) : parent (parentSteps) {}
    virtual ~InstallStep() = default;

    virtual bool canContinue() = 0;

    InstallStepsComponent* const parent;
};
