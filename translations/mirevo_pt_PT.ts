<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt_PT" sourcelanguage="en_US">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copyright © 2026 %1. All rights reserved.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 uses &lt;a href=aboutqt&gt;Qt library&lt;/a&gt; under GNU LGPL 2.1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;a href=eula&gt;End-user license agreement&lt;/a&gt; used by %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 web-site &lt;a href=%2&gt;%3&lt;/a&gt;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Update to %1 is available! &lt;a href=&quot;%2&quot;&gt;Download...&lt;/a&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About Qt Library</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DateWidget</name>
    <message>
        <source>Due date</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>EditGroupDialog</name>
    <message>
        <source>New group</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Group properties</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;strong&gt;Icon selection&lt;/strong&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;strong&gt;Group name&lt;/strong&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please enter a group name to continue...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ok, now we all know that you&apos;re funny! Wanna play a real game?</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>EulaDialog</name>
    <message>
        <source>%1 License Agreement</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Scroll down to read the rest of the license agreement.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Accept</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reject</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to read a license file. Please, report this issue.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ExportDialog</name>
    <message>
        <source>Export to</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;strong&gt;Select the groups you want to export&lt;/strong&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select all</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select none</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Failed to open file &quot;%1&quot; for writing.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Failed to write file &quot;%1&quot;.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FocusGroup</name>
    <message>
        <source>Inbox</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Trash</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Completed</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FocusGroupListWidget</name>
    <message>
        <source>Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add group</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Empty</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Empty %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Do you really want to remove the selected group?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Once your tasks leave the trash group you can&apos;t get them back. Continue?</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>GroupHintWidget</name>
    <message>
        <source>&lt;html&gt;&lt;head&gt;&lt;style&gt;a { color: #1b75bb; text-decoration: none; } &lt;/style&gt;&lt;/head&gt;&lt;body&gt;This is Inbox, a default group to hold all new incoming tasks.&lt;br&gt;Looks like it&apos;s empty right now. Lets have some fun, &lt;a href=inboxheadstart&gt;click here&lt;/a&gt; to fill it up with some predefined tasks.&lt;br&gt;&lt;br&gt;Use &quot;Add group&quot; from the context menu on the group panel to add another group.&lt;/body&gt;&lt;/html&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Trash group holds all the tasks that you have ever deleted.&lt;br&gt;You can restore deleted tasks by dragging them back to one of the existing groups.&lt;br&gt;&lt;br&gt;If you delete a task from Trash - it&apos;s gone...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This group holds all the tasks that were completed by you and logged.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This is your custom group.&lt;br&gt;&lt;br&gt;Add more groups to focus on similar tasks</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Normal</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Compact</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MyCalendar</name>
    <message>
        <source>Previous month</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reset to current date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Next month</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%0, %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PrefsDialog</name>
    <message>
        <source>%1 Preferences</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>General</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show notifications</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Run on system startup</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open window on startup</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Language</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>New</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Toggle view</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cleanup</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TaskListWidget</name>
    <message>
        <source>Submit your ideas on features, any likes and dislikes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Visit %1 to submit ideas</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Create a focus group</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Right-click anywhere on the left panel and select &quot;Add group&quot; menu.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Support the team and development</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Visit %1 and make a donation to support the team if you like the software.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Have a coffee :)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TaskWidget</name>
    <message>
        <source>Task name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Notes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;Unnamed task&gt;</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Toolbar</name>
    <message>
        <source>Menu</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TrayIcon</name>
    <message>
        <source>Show %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preferences...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Exit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New version</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A new version %1 is available! Click here to download.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>&lt;p&gt;The task database was created with a newer version of %1 application.&lt;/p&gt;&lt;p&gt;Please visit &lt;a href=&quot;%2&quot;&gt;%3&lt;/a&gt; to upgrade your installation.&lt;/p&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;p&gt;Task database failed to load for some reason. %1 can not continue to avoid further database corruption.&lt;/p&gt;&lt;p&gt;Please visit &lt;a href=&quot;%2&quot;&gt;%3&lt;/a&gt; and request help.&lt;/p&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 installation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 uninstallation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please close all %1 windows, exit from tray icon and try again.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
