#pragma once
// CDialog: a modal dialog made from a dialog template of the program's resources.
// Commands reach OnCommand; IDOK and IDCANCEL end the dialog through OnOK and OnCancel.
#include <atomic>

#include "Wnd.h"

// A modal dialog; the derived class overrides WindowProc and OnCommand.
class CDialog : public CWnd {
  public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr)
        : m_templateId(templateId), m_parent(parent) {}

    // Creates the dialog from its template and runs it until EndDialog; returns that result.
    virtual INT_PTR DoModal();
    void EndDialog(INT_PTR result);
    // True once OnInitDialog has returned, until the dialog ends; may be read by any thread.
    bool IsInitialized() const { return m_initDone; }

  protected:
    // Binds the template's controls to their members; runs before OnInitDialog. False
    // when one cannot be bound.
    virtual bool DoDataExchange() { return true; }
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // A WM_COMMAND; returns TRUE when it was handled.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_templateId;
    CWnd* m_parent;
    std::atomic<bool> m_initDone{false};
};
