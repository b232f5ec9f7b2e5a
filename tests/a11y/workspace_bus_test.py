#!/usr/bin/python3
"""The console's workspace as a screen reader sees it, through the AT-SPI bus.

Started by run-a11y-test.sh with the console running on a private display and
bus; JX_CONSOLE_PID names the console's process. Signs in as admin by typing
into the login fields and pressing 确定, then checks the tab strip, the menu
buttons, the diagram nodes, a function window and F6. Exit status 0 when
every check passed, 1 otherwise (each failure printed).
"""

import os
import sys
import time

import pyatspi
from gi.repository import GLib
from pyatspi import (ROLE_COMBO_BOX, ROLE_DIALOG, ROLE_FRAME, ROLE_PAGE_TAB, ROLE_PAGE_TAB_LIST,
                     ROLE_PASSWORD_TEXT, ROLE_PUSH_BUTTON, ROLE_TEXT, STATE_FOCUSED, STATE_SELECTED,
                     STATE_SHOWING)

CONSOLE_PID = int(os.environ["JX_CONSOLE_PID"])
failures = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what, flush=True)
    if not condition:
        failures.append(what)
    return condition


# What the console told the bus, as (event type, source role, source name),
# gathered while wait_for pumps the main loop.
heard = []


def hear(event):
    # The source is asked again over the bus; an answer that does not come in
    # time must not lose the event itself.
    role, name = "?", "?"
    try:
        role = event.source.getRoleName()
        name = event.source.name
    except Exception:
        pass
    heard.append((event.type, role, name))


def pump():
    context = GLib.MainContext.default()
    while context.iteration(False):
        pass


def wait_for(probe, timeout=10.0, step=0.2):
    """Polls probe() until it gives something true; the last value otherwise."""
    end = time.monotonic() + timeout
    while True:
        pump()
        try:
            value = probe()
        except Exception:  # the tree changes under us while the console works
            value = None
        if value or time.monotonic() >= end:
            return value
        time.sleep(step)


def console():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        try:
            if app is not None and app.get_process_id() == CONSOLE_PID:
                return app
        except Exception:
            continue
    return None


def dump(obj, depth=0, limit=4):
    """Prints a part of the tree, so a failed search can be read."""
    try:
        print("%s%s %r %s" % ("  " * depth, obj.getRoleName(), obj.name, action_names(obj)), flush=True)
        if depth < limit:
            for i in range(obj.childCount):
                dump(obj.getChildAtIndex(i), depth + 1, limit)
    except Exception as e:
        print("%s<%s>" % ("  " * depth, e))


# Grids and lists hold an object per cell; nothing looked for here is inside one,
# and walking them would take most of the test's time.
PRUNED = {pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_LIST, pyatspi.ROLE_TREE}


def descendants(root, predicate):
    found = []

    def walk(obj):
        for i in range(obj.childCount):
            child = obj.getChildAtIndex(i)
            if child is None:
                continue
            if predicate(child):
                found.append(child)
            if child.getRole() not in PRUNED:
                walk(child)

    if root is not None:
        walk(root)
    return found


def showing(obj):
    try:
        return obj is not None and obj.getState().contains(STATE_SHOWING)
    except Exception:  # gone while we looked
        return False


def named(obj, name):
    return obj.name == name


def first(root, predicate):
    found = descendants(root, predicate)
    return found[0] if found else None


def press(obj, action_names=("press", "Press", "click", "activate")):
    actions = obj.queryAction()
    for i in range(actions.nActions):
        if actions.getName(i) in action_names:
            return actions.doAction(i)
    return False


def action_names(obj):
    try:
        actions = obj.queryAction()
    except NotImplementedError:
        return []
    return [actions.getName(i) for i in range(actions.nActions)]


XK_F6 = 0xFFC3


def key(keysym):
    """Presses and releases a key through the registry daemon, as a user would."""
    pyatspi.Registry.generateKeyboardEvent(keysym, None, pyatspi.KEY_SYM)


# Keycodes of Xvfb's built-in keymap, for the chord that needs a held key.
KEYCODE_CONTROL_L = 37
KEYCODE_W = 25


def ctrl_w():
    pyatspi.Registry.generateKeyboardEvent(KEYCODE_CONTROL_L, None, pyatspi.KEY_PRESS)
    pyatspi.Registry.generateKeyboardEvent(KEYCODE_W, None, pyatspi.KEY_PRESSRELEASE)
    pyatspi.Registry.generateKeyboardEvent(KEYCODE_CONTROL_L, None, pyatspi.KEY_RELEASE)


def click(obj):
    x, y, w, h = obj.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    pyatspi.Registry.generateMouseEvent(x + w // 2, y + h // 2, "b1c")


def active(obj):
    return obj.getState().contains(pyatspi.STATE_ACTIVE)


def top_frames(app):
    frames = [app.getChildAtIndex(i) for i in range(app.childCount)]
    return [f for f in frames if f is not None]


def focused_object(app):
    return first(app, lambda o: o.getState().contains(STATE_FOCUSED))


# ---------------------------------------------------------------- steps

def sign_in():
    app = wait_for(console, timeout=20)
    if not check(app is not None, "the console is on the accessibility bus"):
        return None
    login = wait_for(lambda: first(app, lambda o: o.getRole() == ROLE_DIALOG and o.name == "用户登录"), timeout=20)
    if not check(login is not None, "the login dialog is a dialog named 用户登录"):
        return None
    combo = first(login, lambda o: o.getRole() == ROLE_COMBO_BOX)
    user = first(combo, lambda o: o.getRole() == ROLE_TEXT) if combo else None
    password = first(login, lambda o: o.getRole() == ROLE_PASSWORD_TEXT)
    check(combo is not None and combo.name == "用户名" and password is not None and password.name == "密码",
          "the login fields are named 用户名 and 密码")
    spins = descendants(login, lambda o: o.getRole() == pyatspi.ROLE_SPIN_BUTTON)
    check(len(spins) == 3 and all(o.name.startswith("操作日期") for o in spins),
          "the operation date's fields are named: %s" % [o.name for o in spins])
    # The confirming button is 确定, or as the installation's texts call it (登录 in the demo).
    ok = first(login, lambda o: o.getRole() == ROLE_PUSH_BUTTON and o.name.startswith(("确定", "登录")))
    if not check(user is not None and password is not None and ok is not None,
                 "the login fields and 确定 are on the bus"):
        dump(login)
        return None
    user.queryEditableText().setTextContents("admin")
    password.queryEditableText().setTextContents("admin123")
    press(ok)
    main = wait_for(lambda: first(app, lambda o: o.getRole() == ROLE_FRAME
                                  and first(o, lambda c: c.getRole() == ROLE_PAGE_TAB_LIST) is not None),
                    timeout=30)
    check(main is not None, "after signing in the main window is a frame with a page tab list")
    return app, main


def tab_strip(main):
    return first(main, lambda o: o.getRole() == ROLE_PAGE_TAB_LIST)


def tabs(main):
    strip = tab_strip(main)
    return [strip.getChildAtIndex(i) for i in range(strip.childCount)] if strip else []


def selected_tab(main):
    for t in tabs(main):
        if t.getState().contains(STATE_SELECTED):
            return t
    return None


def menu_buttons(main):
    menu = first(main, lambda o: o.name == "功能菜单")
    if menu is None:
        return []
    return [b for b in descendants(menu, lambda o: o.getRole() == ROLE_PUSH_BUTTON) if showing(b)]


def menu_button(main, caption):
    return next((b for b in menu_buttons(main) if b.name == caption), None)


def group_buttons(main):
    nav = first(main, lambda o: o.name == "导航栏")
    if nav is None:
        return []
    return [b for b in descendants(nav, lambda o: o.getRole() == ROLE_PUSH_BUTTON and o.parent == nav) if showing(b)]


def nodes(main):
    page = first(main, lambda o: o.name == "导航图")
    if page is None:
        return []
    return [n for n in descendants(page, lambda o: o.getRole() == ROLE_PUSH_BUTTON and o.parent == page) if showing(n)]


def node(main, caption):
    return next((n for n in nodes(main) if n.name == caption), None)


def pressable(obj):
    return "press" in [a.lower() for a in action_names(obj)]


def check_navigation(main):
    groups = wait_for(lambda: group_buttons(main), timeout=10) or []
    check(len(groups) >= 3 and all(g.name and pressable(g) for g in groups),
          "the group buttons are named push buttons with a press action: %s" % [g.name for g in groups])
    buttons = wait_for(lambda: menu_buttons(main), timeout=10) or []
    names = [b.name for b in buttons]
    if not check(len(buttons) >= 1 and all(n and n == n.strip() and not n.startswith("Button") for n in names),
                 "the menu buttons are push buttons named by their captions: %s" % names):
        dump(first(main, lambda o: o.name == "导航栏"), limit=3)
    check(buttons and all(pressable(b) for b in buttons), "each menu button has a press action")


def check_diagram_and_tabs(main):
    # Signing in opens the first group's first entry, a directory: its diagram.
    found = wait_for(lambda: nodes(main), timeout=10) or []
    names = [n.name for n in found]
    check("房源查询" in names and "房源统计表" in names,
          "the diagram nodes are push buttons named by their captions: %s" % names)
    check(found and all(pressable(n) for n in found), "each diagram node has a press action")

    column = first(main, lambda o: o.name == "报表栏")
    reports = [b for b in descendants(column, lambda o: o.getRole() == ROLE_PUSH_BUTTON) if showing(b)]
    check(reports and all(r.name and r.name == r.name.strip() and pressable(r) for r in reports),
          "the report buttons are push buttons named by their captions: %s" % [r.name for r in reports])

    query = node(main, "房源查询")
    if query is None:
        return False
    del heard[:]
    press(query)
    opened = wait_for(lambda: selected_tab(main) is not None and selected_tab(main).name == "房源查询", timeout=10)
    check(opened, "pressing the node 房源查询 opens it in the selected page tab")
    check(wait_for(lambda: any(t.startswith("object:children-changed:add") and role == "page tab list"
                               for t, role, _ in heard), timeout=5),
          "the tab list tells the bus of its new tab")
    check(wait_for(lambda: any(t.startswith("object:state-changed:selected") and role == "page tab" and name == "房源查询"
                               for t, role, name in heard), timeout=5),
          "and of the new tab's selection: %s" % sorted(set(t for t, _, _ in heard)))

    directory = menu_button(main, "房源管理")
    if not check(directory is not None, "the menu button 房源管理 is there"):
        return False
    press(directory)
    back = wait_for(lambda: selected_tab(main) is not None and selected_tab(main).name == "导航窗口"
                    and node(main, "房源查询") is not None, timeout=10)
    check(back, "pressing the menu button 房源管理 brings its diagram back in the tab 导航窗口")

    all_tabs = tabs(main)
    check(len(all_tabs) >= 2 and all(t.getRole() == ROLE_PAGE_TAB for t in all_tabs),
          "the tab strip's children are page tabs: %s" % [t.name for t in all_tabs])
    target = next((t for t in all_tabs if t.name == "房源查询"), None)
    if not check(target is not None and "select" in action_names(target),
                 "the page tab 房源查询 is named by its caption and has a select action"):
        return False
    press(target, ("select",))
    check(wait_for(lambda: target.getState().contains(STATE_SELECTED), timeout=5)
          and wait_for(lambda: selected_tab(main).name == "房源查询", timeout=5),
          "selecting the page tab through the bus selects it, and only it")
    check(wait_for(lambda: node(main, "房源查询") is None, timeout=5), "and shows its page instead of the diagram")
    return True


def check_pane_keys(app, main):
    """With the function 房源查询 in the selected tab."""
    start = menu_button(main, "房源管理")
    if not check(start is not None, "a menu button to start F6 from"):
        return
    start.queryComponent().grabFocus()
    if not check(wait_for(lambda: start.getState().contains(STATE_FOCUSED), timeout=5), "a menu button takes the focus"):
        return
    # Round the circle: the work area (the open function), the tab strip, then
    # the navigation again (the report column sits on the hidden diagram page).
    seen = []
    for _ in range(3):
        before = focused_object(app)
        key(XK_F6)
        now = wait_for(lambda: (lambda f: f if f is not None and f != before else None)(focused_object(app)), timeout=5)
        seen.append((now.getRoleName(), now.name) if now is not None else None)
        if now is None:
            break
    check(len(seen) == 3 and None not in seen, "F6 moves the focus on each time: %s" % seen)
    if len(seen) == 3 and None not in seen:
        check(seen[1][0] == "page tab list", "the second F6 reaches the tab strip")
    check(start.getState().contains(STATE_FOCUSED), "the third F6 comes back to the menu button it left")

    # Into the function again and closed by its own command: its tab goes, and the bus hears of it.
    key(XK_F6)
    inside = seen[0] if seen else None
    if check(inside is not None and wait_for(lambda: (lambda f: f is not None and (f.getRoleName(), f.name) == inside)(
                 focused_object(app)), timeout=5),
             "F6 goes back into the function, where it went the first time: %s" % (inside,)):
        del heard[:]
        ctrl_w()
        check(wait_for(lambda: all(t.name != "房源查询" for t in tabs(main)), timeout=10),
              "Ctrl+W in the function closes it and its page tab")
        check(wait_for(lambda: any(t.startswith("object:children-changed:remove") and role in ("page tab list", "?")
                                   for t, role, _ in heard), timeout=10),
              "the tab list tells the bus the tab is gone: %s" % sorted(set((t, r) for t, r, _ in heard)))


def activate(main):
    """No window manager here: a click activates the main window, as X gives it no focus by itself."""
    header = first(first(main, lambda o: o.name == "导航栏"), lambda o: o.getRole() == pyatspi.ROLE_LABEL)
    if header is not None:
        click(header)
    check(wait_for(lambda: active(main), timeout=5), "the main window is active")


def check_alert_window_and_activate_main(app, main):
    """The alert window opens in front at start: a function window."""
    alert = wait_for(lambda: next((f for f in top_frames(app) if f.name == "预警" and active(f)), None), timeout=10)
    if not check(alert is not None and alert.getRole() == ROLE_FRAME,
                 "the alert window is a frame named by its title: %s"
                 % [(f.getRoleName(), f.name) for f in top_frames(app)]):
        return
    ctrl_w()  # the alert's close command
    check(wait_for(lambda: all(f.name != "预警" for f in top_frames(app)), timeout=10), "Ctrl+W closes the alert window")
    activate(main)


def check_function_window(app, main):
    diagram = next((t for t in tabs(main) if t.name == "导航窗口"), None)
    if diagram is None:
        check(False, "the page tab 导航窗口 is there")
        return
    press(diagram, ("select",))
    report = wait_for(lambda: node(main, "房源统计表"), timeout=10)
    if not check(report is not None, "the diagram is back after selecting its tab through the bus"):
        return
    press(report)
    window = wait_for(lambda: first(app, lambda o: o.getRole() == ROLE_FRAME and o.name == "房源统计表"), timeout=15)
    check(window is not None, "the function window is a frame named by its title")


XK_ESCAPE = 0xFF1B


def dismiss_dialogs(app, before):
    """Closes what a toolbar command opened (a file dialog, a message box) with Escape."""
    for _ in range(3):
        extra = [f for f in top_frames(app) if f not in before and showing(f)]
        if not extra:
            return True
        key(XK_ESCAPE)
        wait_for(lambda: not [f for f in top_frames(app) if f not in before and showing(f)], timeout=5)
    return not [f for f in top_frames(app) if f not in before and showing(f)]


def close_opened(app, main, query_tab, frames_before):
    """A command that opened a record in a tab or window of its own: closed by its own 关闭."""
    for frame in [f for f in top_frames(app) if f not in frames_before and showing(f)]:
        close = first(frame, lambda o: o.getRole() == ROLE_PUSH_BUTTON and o.name == "关闭")
        if close is not None:
            press(close)
    dismiss_dialogs(app, frames_before)
    selected = selected_tab(main)
    if selected is not None and selected.name != query_tab:
        bar = first(main, lambda o: o.getRole() == pyatspi.ROLE_TOOL_BAR and showing(o))
        close = bar and first(bar, lambda o: o.getRole() == ROLE_PUSH_BUTTON and o.name == "关闭")
        if close:
            press(close)
        wait_for(lambda: selected_tab(main) is not None and selected_tab(main).name == query_tab, timeout=5)
    target = next((t for t in tabs(main) if t.name == query_tab), None)
    if target is not None and not target.getState().contains(STATE_SELECTED):
        press(target, ("select",))
        wait_for(lambda: selected_tab(main).name == query_tab, timeout=5)


def toolbar_of(main):
    return first(main, lambda o: o.getRole() == pyatspi.ROLE_TOOL_BAR and showing(o))


def check_toolbar(app, main):
    """The toolbar of the function 房源查询, open in the selected tab: every button through the bus."""
    bar = wait_for(lambda: toolbar_of(main), timeout=10)
    if not check(bar is not None, "the function's toolbar is on the bus as a tool bar"):
        return
    buttons = [bar.getChildAtIndex(i) for i in range(bar.childCount)]
    names = [b.name for b in buttons]
    check({"新增", "修改", "筛选", "刷新", "导出", "关闭"} <= set(names)
          and all(b.getRole() == ROLE_PUSH_BUTTON for b in buttons),
          "the toolbar's buttons are push buttons named by their captions: %s" % names)
    check(all(any(a.lower() == "press" for a in action_names(b)) for b in buttons),
          "each toolbar button has a press action: %s" % [action_names(b) for b in buttons])
    tips = [b.description for b in buttons]
    check(all("Ctrl" in t or "F5" in t for t in tips if t), "the buttons' tips name their shortcuts: %s" % tips)

    # Pressed one by one as a user would, 关闭 last: whatever a command opens
    # is closed again before the next one.
    query_tab = selected_tab(main).name
    for name in [n for n in names if n != "关闭"]:
        bar = toolbar_of(main)
        button = next((b for b in [bar.getChildAtIndex(i) for i in range(bar.childCount)] if b.name == name), None)
        if not check(button is not None, "the button %s is still there" % name):
            continue
        frames_before = top_frames(app)
        tabs_before = len(tabs(main))
        pressed = press(button)
        opened = wait_for(lambda: len(tabs(main)) != tabs_before or len(top_frames(app)) != len(frames_before),
                          timeout=3)
        check(pressed, "pressing %s through the bus is taken" % name)
        if name in ("新增", "导出"):
            check(opened, "and %s opens its window: %s" % (name, [(f.getRoleName(), f.name) for f in top_frames(app)]))
        close_opened(app, main, query_tab, frames_before)
    check(selected_tab(main) is not None and selected_tab(main).name == query_tab and toolbar_of(main) is not None,
          "after every command the function is still open in its tab")
    activate(main)


def check_close_from_a_tab_behind(app, main):
    """Two function tabs; the one behind closes through its own 关闭: only its tab goes."""
    diagram = next((t for t in tabs(main) if t.name == "导航窗口"), None)
    if not check(diagram is not None, "the page tab 导航窗口 is there"):
        return
    for caption in ("房源查询", "房源登记"):
        press(diagram, ("select",))
        target = wait_for(lambda: node(main, caption), timeout=10)
        if not check(target is not None, "the node %s is on the diagram" % caption):
            return
        press(target)
        if not check(wait_for(lambda: selected_tab(main) is not None and selected_tab(main).name == caption, timeout=10),
                     "the node %s opens in its own page tab" % caption):
            return
    # The query's toolbar sits on the page behind: not showing, still on the bus.
    bars = descendants(main, lambda o: o.getRole() == pyatspi.ROLE_TOOL_BAR and not showing(o)
                       and first(o, lambda b: b.name == "筛选") is not None)
    close = first(bars[0], lambda b: b.getRole() == ROLE_PUSH_BUTTON and b.name == "关闭") if bars else None
    if not check(close is not None, "the toolbar of 房源查询 behind the selected tab is on the bus"):
        return
    press(close)
    check(wait_for(lambda: all(t.name != "房源查询" for t in tabs(main)), timeout=10),
          "its own 关闭 closes 房源查询, the tab behind")
    check(wait_for(lambda: [t.name for t in tabs(main)] == ["导航窗口", "房源登记"], timeout=5)
          and selected_tab(main).name == "房源登记",
          "the selected tab 房源登记 and the diagram stay: %s" % [t.name for t in tabs(main)])


def main():
    events = ("object:children-changed", "object:state-changed:selected", "object:selection-changed")
    pyatspi.Registry.registerEventListener(hear, *events)
    started = sign_in()
    if started is None:
        return 1
    app, window = started
    # The console learns which events anyone listens to from the registry's
    # announcements; one made while it was still starting may pass it by.
    # Listening anew once its window is up announces them again.
    pyatspi.Registry.deregisterEventListener(hear, *events)
    pyatspi.Registry.registerEventListener(hear, *events)
    wait_for(lambda: False, timeout=1.0)
    check_alert_window_and_activate_main(app, window)
    check_navigation(window)
    if check_diagram_and_tabs(window):
        check_toolbar(app, window)
        check_pane_keys(app, window)
        check_close_from_a_tab_behind(app, window)
    check_function_window(app, window)
    if failures:
        print("%d check(s) failed" % len(failures))
        return 1
    print("all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
